// gtest main of the control panel's and the driver's tests: an offscreen QApplication, a
// fresh QUILBEX_IPC_NAMESPACE for every test, and recording stand-ins for the shell and the
// window services.
#include "tests/control/support/DriverProcess.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>
#include <dirent.h>
#include <iostream>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

platform::RecordingShell* recordingShell = nullptr;
platform::RecordingWindowServices* recordingWindowServices = nullptr;
std::string currentNamespace;

// Shared objects whose names begin with the namespace.
std::vector<std::string> ObjectsOf(const std::string& ns) {
    std::vector<std::string> names;
    DIR* dir = opendir("/dev/shm");
    if (dir == nullptr)
        return names;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.rfind(ns, 0) == 0)
            names.push_back(name);
    }
    closedir(dir);
    return names;
}

class NamespacePerTest : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo& info) override {
        static int counter = 0;
        currentNamespace = "qtc" + std::to_string(getpid()) + "_" + std::to_string(++counter) + "_";
        setenv("QUILBEX_IPC_NAMESPACE", currentNamespace.c_str(), 1);
        recordingShell->Calls.clear();
        recordingWindowServices->ClearCalls();
        (void)info;
    }

    void OnTestEnd(const testing::TestInfo& info) override {
        for (const std::string& name : ObjectsOf(currentNamespace)) {
            std::cerr << "warning: " << info.test_suite_name() << "." << info.name()
                      << " left /dev/shm/" << name << " behind; removed\n";
            shm_unlink(("/" + name).c_str());
        }
        currentNamespace.clear();
        unsetenv("QUILBEX_IPC_NAMESPACE");
    }
};

} // namespace

platform::RecordingShell& TestShell() {
    return *recordingShell;
}
platform::RecordingWindowServices& TestWindowServices() {
    return *recordingWindowServices;
}
std::string TestNamespace() {
    return currentNamespace;
}

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);

    platform::RecordingShell shell;
    platform::RecordingWindowServices windowServices;
    recordingShell = &shell;
    recordingWindowServices = &windowServices;
    platform::SetShell(&shell);
    platform::ScopedWindowServices installed(&windowServices);

    testing::UnitTest::GetInstance()->listeners().Append(new NamespacePerTest);
    const int result = RUN_ALL_TESTS();
    platform::SetShell(nullptr);
    return result;
}
