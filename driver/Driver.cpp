#include "driver/Driver.h"

#include "driver/CalibSection.h"
#include "driver/CommSection.h"
#include "driver/DeWiggleSection.h"
#include "driver/EdgeSection.h"
#include "driver/GrapherSection.h"
#include "driver/OutputSection.h"
#include "driver/SenseSection.h"
#include "driver/StatusSection.h"
#include "driver/VersionSection.h"
#include "platform/Kernel.h"
#include "store/ShareManager.h"
#include "toolkit/Classes.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <charconv>
#include <csignal>
#include <functional>
#include <iostream>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The driver's INI file in its own directory; the control panel's brand record names the same.
constexpr const char* kIniFileName = "QUILBEX.INI";
constexpr int kLoopIntervalMs = 50;
const char* const kCommands[] = {"Save", "Load", "Terminate", "Reset"};

std::vector<std::string> SplitWords(const std::string& line) {
    std::istringstream stream(line);
    std::vector<std::string> words;
    std::string word;
    while (stream >> word)
        words.push_back(word);
    return words;
}

template <class T> bool ParseNumber(const std::string& text, T& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

bool ParseBool(const std::string& text, bool& value) {
    if (text == "1" || text == "true") {
        value = true;
        return true;
    }
    if (text == "0" || text == "false") {
        value = false;
        return true;
    }
    return false;
}

template <class T> std::string FormatNumber(T value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
    return std::string(buffer, result.ptr);
}

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace

bool ParseDriverOptions(int argc, char** argv, DriverOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--scripted") {
            options.Scripted = true;
        } else if (arg == "--slave") {
            options.Slave = true;
        } else if (arg == "--ini" && i + 1 < argc) {
            options.IniPath = argv[++i];
        } else {
            error = "unknown argument: " + arg;
            return false;
        }
    }
    if (options.Slave && !options.Scripted) {
        error = "--slave needs --scripted";
        return false;
    }
    if (options.IniPath.empty())
        options.IniPath = DirectoryOf(platform::GetModuleFileName()) + kIniFileName;
    return true;
}

Driver::Driver(DriverOptions options)
    : itsOptions(std::move(options)), itsShareManager(std::make_unique<TShareManager>(nullptr)),
      itsLive(!itsOptions.Scripted), itsTrackDirty(!itsOptions.Scripted),
      itsSavedSettings(itsOptions.IniPath) {
    CreateSections();
}

Driver::~Driver() {
    Stop();
    itsSections.clear();
}

// The sections in the order their variables register with the store; each further section
// joins with one line here.
void Driver::CreateSections() {
    auto status = std::make_unique<StatusSection>();
    itsStatus = status.get();
    itsSections.push_back(std::move(status));
    itsSections.push_back(std::make_unique<TestSection>());
    itsSections.push_back(std::make_unique<CommSection>());
    itsSections.push_back(std::make_unique<VersionSection>());
    itsSections.push_back(std::make_unique<SenseSection>());
    itsSections.push_back(
        std::make_unique<CalibSection>(itsStatus->itsLockCalibrate, !itsOptions.Scripted));
    itsSections.push_back(std::make_unique<GrapherSection>(0));
    itsSections.push_back(std::make_unique<GrapherSection>(1));
    itsSections.push_back(std::make_unique<OutputSection>());
    itsSections.push_back(std::make_unique<EdgeSection>());
    itsSections.push_back(std::make_unique<DeWiggleSection>());
}

// Whatever raises on the way (no poll thread, no memory) ends the start with the store
// inactive again, so nothing is left behind.
bool Driver::Start() {
    try {
        if (JoinGroup()) {
            BeginServing();
            return true;
        }
    } catch (const std::exception& e) {
        itsFailure =
            (itsStarted ? "cannot start: " : "cannot activate the store: ") + DescribeFailure(e);
    }
    Stop();
    return false;
}

void Driver::BeginServing() {
    itsStarted = true;
    for (const char* command : kCommands)
        itsLastSeen[command] = FindVariable("Status", command)->GetValueInt();
    if (itsOptions.Slave) {
        // A second program changes nothing by joining: its sections' defaults stay local.
        for (auto& section : itsSections)
            section->AdoptStoreValues();
        return;
    }
    for (auto& section : itsSections)
        section->OnStart(itsOptions.IniPath);
    // Settings missing from the file keep their values and are saved, so a first start is clean.
    // A file that could not be read is left as it is: the driver runs on its defaults.
    if (LoadSettings())
        SaveSettings();
}

// Activates the store in the driver's role; false, with the reason in itsFailure unless another
// driver is the master, when the driver cannot serve the group.
bool Driver::JoinGroup() {
    itsShareManager->SetMaster(!itsOptions.Slave);
    itsShareManager->SetFileName(itsOptions.IniPath);
    itsShareManager->SetOnMonitor([this](tk::TObject*, int id) { ++itsChanges[id]; });
    itsShareManager->SetActive(true);
    const TShareManBase* store = itsShareManager->GetShareManBase();
    if (!itsShareManager->GetActive()) {
        itsFailure = "cannot open the store's group mutex and block (" + store->GetGrpName() + ")";
        return false;
    }
    // A variable whose shared objects could not be opened (e.g. at the open-file limit) is dead:
    // the driver could not serve it, so it lets the group go and ends instead.
    if (const TShareVarBase* dead = store->FindUnmapped()) {
        itsFailure = "cannot open the shared objects of variable " + dead->GetSecName() + " " +
                     dead->GetVarName();
        return false;
    }
    // Without the master proof or the slot table a dead driver or program would stay counted.
    if (const std::string unopened = store->FindUnopened(); !unopened.empty()) {
        itsFailure = "cannot open the store's shared object " + unopened;
        return false;
    }
    // An activating master that finds a live master goes on as a slave: a second driver.
    return itsOptions.Slave || itsShareManager->GetMaster();
}

void Driver::Stop() {
    if (itsShareManager->GetActive())
        itsShareManager->SetActive(false);
    itsStarted = false;
}

void Driver::Tick(uint32_t nowMs) {
    if (!itsStarted || itsOptions.Slave)
        return;
    HandleCommands();
    if (itsTerminated)
        return;
    if (itsTrackDirty)
        UpdateDirty();
    if (itsLive) {
        for (auto& section : itsSections)
            section->LiveTick(nowMs);
    }
}

// Acts once on every change of a command counter, however many increments it holds.
void Driver::HandleCommands() {
    for (const char* command : kCommands) {
        const int value = FindVariable("Status", command)->GetValueInt();
        if (value == itsLastSeen[command])
            continue;
        itsLastSeen[command] = value;
        ++itsActed[command];
        const std::string name = command;
        if (name == "Save") {
            SaveSettings();
        } else if (name == "Load") {
            LoadSettings();
        } else if (name == "Terminate") {
            itsTerminated = true;
            Stop();
            return;
        } else {
            for (auto& section : itsSections)
                section->OnReset();
        }
    }
}

// A file that cannot be read, or is too large to hold, is never written over.
void Driver::SaveSettings() {
    itsSavedSettings.Forget();
    try {
        itsShareManager->SaveIni();
    } catch (const std::exception& e) {
        std::cerr << "QUILBEX_Driver: cannot save settings: " << DescribeFailure(e) << '\n';
    }
}

// False when the file exists but cannot be read, or is too large to hold: the settings keep
// their values.
bool Driver::LoadSettings() {
    itsSavedSettings.Forget();
    try {
        itsShareManager->LoadIni();
    } catch (const std::exception& e) {
        std::cerr << "QUILBEX_Driver: cannot load settings, the file is left as it is: "
                  << DescribeFailure(e) << '\n';
        return false;
    }
    for (auto& section : itsSections)
        section->OnSettingsLoaded();
    return true;
}

// While the file cannot be read, Dirty keeps its value.
void Driver::UpdateDirty() {
    bool dirty = false;
    try {
        dirty = itsShareManager->TestIni(&itsSavedSettings.Get()) > 0;
    } catch (const std::exception&) {
        return;
    }
    if (itsStatus->itsDirty->GetValueBool() != dirty)
        itsStatus->itsDirty->SetValueBool(dirty);
}

TShareVarBase* Driver::FindVariable(const std::string& secName, const std::string& varName) const {
    for (const auto& section : itsSections) {
        if (TShareVarBase* var = section->Find(secName, varName))
            return var;
    }
    return nullptr;
}

std::string Driver::Execute(const std::string& line) {
    const std::vector<std::string> words = SplitWords(line);
    if (words.empty())
        return "error empty command";
    const std::string& command = words[0];
    if (command == "ping")
        return "pong";
    if (command == "set" || command == "setx")
        return SetCommand(words, command == "set");
    if (command == "get")
        return GetCommand(words);
    if ((command == "live" || command == "dirty") && words.size() == 2 &&
        (words[1] == "on" || words[1] == "off")) {
        (command == "live" ? itsLive : itsTrackDirty) = words[1] == "on";
        return "ok";
    }
    if (command == "acted" && words.size() == 2)
        return "value " + FormatNumber(itsActed[words[1]]);
    if (command == "masters")
        return "value " + FormatNumber(itsStatus->itsHeartBeat->GetMasterCount());
    if (command == "slaves")
        return "value " + FormatNumber(itsShareManager->GetSlaveCount());
    if (command == "changes" && words.size() == 3) {
        const TShareVarBase* var = FindVariable(words[1], words[2]);
        if (var == nullptr)
            return "error unknown variable " + words[1] + " " + words[2];
        return "value " + FormatNumber(var->GetID() == 0 ? 0 : itsChanges[var->GetID()]);
    }
    if (command == "quit") {
        itsTerminated = true;
        Stop();
        return "bye";
    }
    return "error unknown command " + command;
}

std::string Driver::SetCommand(const std::vector<std::string>& words, bool announce) {
    if (words.size() != 4 && words.size() != 5)
        return "error usage: " + words[0] + " SECTION NAME VALUE [INDEX]";
    TShareVarBase* var = FindVariable(words[1], words[2]);
    if (var == nullptr)
        return "error unknown variable " + words[1] + " " + words[2];
    int index = 0;
    if (words.size() == 5 &&
        (!ParseNumber(words[4], index) || index < 0 || index >= var->GetVarCount()))
        return "error bad index " + words[4];
    const std::string& text = words[3];
    const std::string type = var->GetVarType();
    bool ok = false;
    if (type == "Boo") {
        bool value = false;
        if ((ok = ParseBool(text, value)))
            announce ? var->SetValueBoolA(index, value) : var->SetValueBoolXA(index, value);
    } else if (type == "Int") {
        int value = 0;
        if ((ok = ParseNumber(text, value)))
            announce ? var->SetValueIntA(index, value) : var->SetValueIntXA(index, value);
    } else if (type == "Flo") {
        float value = 0;
        if ((ok = ParseNumber(text, value)))
            announce ? var->SetValueFloatA(index, value) : var->SetValueFloatXA(index, value);
    } else if (type == "Dou") {
        double value = 0;
        if ((ok = ParseNumber(text, value)))
            announce ? var->SetValueDoubleA(index, value) : var->SetValueDoubleXA(index, value);
    }
    return ok ? "ok" : "error bad value " + text;
}

std::string Driver::GetCommand(const std::vector<std::string>& words) {
    if (words.size() != 3 && words.size() != 4)
        return "error usage: get SECTION NAME [INDEX]";
    TShareVarBase* var = FindVariable(words[1], words[2]);
    if (var == nullptr)
        return "error unknown variable " + words[1] + " " + words[2];
    int index = 0;
    if (words.size() == 4 &&
        (!ParseNumber(words[3], index) || index < 0 || index >= var->GetVarCount()))
        return "error bad index " + words[3];
    const std::string type = var->GetVarType();
    if (type == "Boo")
        return std::string("value ") + (var->GetValueBoolA(index) ? "1" : "0");
    if (type == "Int")
        return "value " + FormatNumber(var->GetValueIntA(index));
    if (type == "Flo")
        return "value " + FormatNumber(var->GetValueFloatA(index));
    return "value " + FormatNumber(var->GetValueDoubleA(index));
}

namespace {

int signalPipe[2] = {-1, -1};

void OnStopSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(signalPipe[1], &byte, 1);
}

void WriteLine(const std::string& line) {
    std::cout << line << '\n' << std::flush;
}

} // namespace

int Driver::Run(int argc, char** argv) {
    // Past a file-size limit a write then fails with EFBIG and is reported like any failed write,
    // instead of killing the driver with its shared objects open.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication app(argc, argv);
    DriverOptions options;
    std::string error;
    if (!ParseDriverOptions(argc, argv, options, error)) {
        std::cerr << "QUILBEX_Driver: " << error << '\n';
        return 2;
    }
    Driver driver(options);
    if (!driver.Start()) {
        const std::string& failure = driver.Failure();
        std::cerr << "QUILBEX_Driver: "
                  << (failure.empty() ? "another driver is the group's master" : failure)
                  << "; exiting\n";
        if (options.Scripted)
            WriteLine("busy");
        return failure.empty() ? 0 : 1;
    }
    if (options.Scripted)
        WriteLine(options.Slave ? "ready slave" : "ready master");

    // SIGINT and SIGTERM end the loop, so the store is deactivated and leaves nothing behind.
    std::unique_ptr<QSocketNotifier> signalNotifier;
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) == 0) {
        std::signal(SIGINT, OnStopSignal);
        std::signal(SIGTERM, OnStopSignal);
        signalNotifier = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
        QObject::connect(signalNotifier.get(), &QSocketNotifier::activated, &app,
                         [&app] { app.quit(); });
    }

    // What raises inside the loop (e.g. no memory left) ends it: reported, and the store is
    // deactivated below like after Terminate, so nothing is left behind.
    int exitCode = 0;
    const auto guarded = [&app, &exitCode](const std::function<void()>& step) {
        try {
            step();
        } catch (const std::exception& e) {
            std::cerr << "QUILBEX_Driver: " << DescribeFailure(e) << "; exiting\n";
            exitCode = 1;
            app.quit();
        }
    };

    QTimer timer;
    timer.setInterval(kLoopIntervalMs);
    QObject::connect(&timer, &QTimer::timeout, &app, [&] {
        guarded([&] {
            driver.Tick(platform::GetTickCount());
            if (driver.Terminated())
                app.quit();
        });
    });
    timer.start();

    std::unique_ptr<QSocketNotifier> inputNotifier;
    std::string pending;
    if (options.Scripted) {
        inputNotifier = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
        const auto readInput = [&] {
            char buffer[4096];
            const ssize_t n = read(STDIN_FILENO, buffer, sizeof(buffer));
            if (n <= 0) {
                inputNotifier->setEnabled(false);
                app.quit();
                return;
            }
            pending.append(buffer, static_cast<size_t>(n));
            size_t newline;
            while ((newline = pending.find('\n')) != std::string::npos) {
                const std::string line = pending.substr(0, newline);
                pending.erase(0, newline + 1);
                WriteLine(driver.Execute(line));
                if (driver.Terminated()) {
                    app.quit();
                    return;
                }
            }
        };
        QObject::connect(inputNotifier.get(), &QSocketNotifier::activated, &app,
                         [&] { guarded(readInput); });
    }

    app.exec();
    driver.Stop();
    return exitCode;
}
