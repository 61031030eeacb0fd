// Fixture of the in-process store tests: a variable set that is deleted after each test, and a
// fresh manager for the next one.
#pragma once

#include "StoreTestSupport.h"
#include "store/ShareManBase.h"
#include "store/ShareVarBase.h"
#include "store/ShareVarPoly.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class StoreTest : public ::testing::Test {
protected:
    void TearDown() override {
        vars.reset();
        delete TShareManBase::GetShareManBase(); // also deactivates
        EXPECT_TRUE(storetest::LeftoverObjects().empty());
    }

    static TShareManBase* Manager() { return TShareManBase::GetShareManBase(); }

    TShareVarBase* Add(const std::string& sec, const std::string& name, const std::string& type,
                       int count = 1, tk::TNotifyEvent onChange = nullptr,
                       tk::TNotifyEvent onPoll = nullptr, bool saveable = true) {
        return vars->AddItem(sec, name, type, count, std::move(onChange), std::move(onPoll),
                             saveable);
    }

    // A handler that counts its calls.
    static tk::TNotifyEvent Counter(int& count) {
        return [&count](tk::TObject*) { ++count; };
    }

    std::unique_ptr<TShareVarPoly> vars = std::make_unique<TShareVarPoly>(nullptr);
};
