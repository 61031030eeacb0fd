// Test main of the store: a Qt application object for the poll thread's hand-over, and a
// private IPC namespace so that parallel runs never meet each other or a running system.
#include "StoreTestSupport.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <csignal>

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN); // a killed peer must not end the test
    storetest::UseOwnNamespace("s");
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    storetest::RemoveLeftoverObjects();
    return result;
}
