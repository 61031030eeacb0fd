#include "tests/control/settings_fixture.h"

#include <stdexcept>

namespace {

std::string Key(const std::string& sec, const std::string& name) {
    return sec + "/" + name;
}

// Created by the sensitivity page and the driver and used by neither: the settle marker.
const char* const kMarkerSection = "Sense";
const char* const kMarkerName = "TrackThresh";

} // namespace

SettingsTest::SettingsTest() : itsWatchPoly(std::make_unique<TShareVarPoly>(nullptr)) {
    Watch(kMarkerSection, kMarkerName, "Float");
}

SettingsTest::~SettingsTest() {
    if (itsManager)
        itsManager->SetActive(false);
    itsWatchers.clear();
    itsWatchPoly.reset();
    itsManager.reset();
}

void SettingsTest::Watch(const std::string& sec, const std::string& name, const std::string& type) {
    const std::string key = Key(sec, name);
    itsWatchers[key].Var = itsWatchPoly->AddItem(
        sec, name, type, 1, [this, key](tk::TObject*) { ++itsWatchers[key].Changes; }, nullptr,
        false);
}

SettingsTest::Watcher& SettingsTest::Find(const std::string& sec, const std::string& name) {
    const auto it = itsWatchers.find(Key(sec, name));
    if (it == itsWatchers.end())
        throw std::logic_error("not watched: " + Key(sec, name));
    return it->second;
}

int SettingsTest::Changes(const std::string& sec, const std::string& name) const {
    const auto it = itsWatchers.find(Key(sec, name));
    return it == itsWatchers.end() ? -1 : it->second.Changes;
}

int SettingsTest::BlockCount(const std::string& sec, const std::string& name) {
    TShareVarBase* var = Find(sec, name).Var;
    var->Lock();
    var->ReadUnLock();
    return var->GetCount();
}

void SettingsTest::Activate() {
    ASSERT_TRUE(itsDriver.Start());
    itsManager = std::make_unique<TShareManager>(nullptr);
    itsManager->SetActive(true);
    ASSERT_TRUE(itsManager->GetActive());
    TShareVarBase* marker = Find(kMarkerSection, kMarkerName).Var;
    ASSERT_TRUE(WaitFor([marker] { return marker->GetMasterCount() > 0; }));
    Settle();
}

void SettingsTest::DriverSet(const std::string& sec, const std::string& name,
                             const std::string& value) {
    ASSERT_TRUE(itsDriver.Set(sec, name, value)) << sec << " " << name << " " << value;
    Settle();
}

// The change ring keeps the driver's order, so once the marker's change has arrived every
// change announced before it has been delivered, and the poll handlers have run after it.
void SettingsTest::Settle() {
    const int before = Changes(kMarkerSection, kMarkerName);
    ASSERT_TRUE(itsDriver.Set(kMarkerSection, kMarkerName, std::to_string(++itsSettleCount)));
    ASSERT_TRUE(WaitFor([&] { return Changes(kMarkerSection, kMarkerName) > before; }));
}
