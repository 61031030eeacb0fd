#include "toolkit/DesktopSession.h"

#include "toolkit/Forms.h"

#include <QGuiApplication>
#include <QSocketNotifier>
#include <QThread>

#include <xcb/xcb.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace tk {

namespace {

constexpr int kEndSignals[] = {SIGTERM, SIGHUP, SIGINT};

TDesktopSession* activeSession = nullptr;
// The signal handler writes a byte to [1]; the event loop reads [0].
int signalPair[2] = {-1, -1};

// The value of Qt's command-line option `name` (given with one dash or two), else `fallback`.
std::string QtOption(int argc, char** argv, const char* name, const char* fallback) {
    for (int i = 1; i + 1 < argc; ++i) {
        const char* arg = argv[i][0] == '-' && argv[i][1] == '-' ? argv[i] + 1 : argv[i];
        if (std::strcmp(arg, name) == 0) {
            return argv[i + 1];
        }
    }
    return fallback != nullptr ? fallback : "";
}

// Puts Qt's "-platform xcb" right after the program's path.
void ChooseX11(int& argc, char**& argv) {
    static char platformOption[] = "-platform";
    static char x11[] = "xcb";
    static std::vector<char*> arguments;
    arguments.assign(argv, argv + argc);
    arguments.insert(arguments.begin() + (argc > 0 ? 1 : 0), {platformOption, x11});
    arguments.push_back(nullptr);
    argc += 2;
    argv = arguments.data();
}

// Points standard error at /dev/null while it lives.
class QuietStandardError {
public:
    QuietStandardError() : itsSaved(dup(STDERR_FILENO)) {
        const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (null >= 0) {
            dup2(null, STDERR_FILENO);
            close(null);
        }
    }
    ~QuietStandardError() {
        if (itsSaved >= 0) {
            dup2(itsSaved, STDERR_FILENO);
            close(itsSaved);
        }
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int itsSaved;
};

// The start-up check's connection, held until Qt has its own: a server that resets when its last
// client leaves (a bare Xvfb) would otherwise refuse Qt's connection while it resets.
xcb_connection_t* checkConnection = nullptr;

// A server that refuses the connection sends its reason, which xcb writes to standard error
// itself; the program says in its own words why it cannot start.
bool ConnectToDisplay(const std::string& name) {
    const QuietStandardError quiet;
    checkConnection = xcb_connect(name.empty() ? nullptr : name.c_str(), nullptr);
    if (xcb_connection_has_error(checkConnection) == 0) {
        return true;
    }
    xcb_disconnect(checkConnection);
    checkConnection = nullptr;
    return false;
}

std::string ProgramName(int argc, char** argv) {
    const std::string path = argc > 0 ? argv[0] : "";
    return path.substr(path.rfind('/') + 1);
}

void OnEndSignal(int /*signal*/) {
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(signalPair[1], &byte, 1);
    errno = savedErrno;
}

// A write to a display connection that the server has closed raises SIGPIPE, which would end the
// program at once, before it leaves the store. With this handler the write fails instead, the
// connection is marked broken, and the program ends the way a lost display ends it. A handler
// rather than SIG_IGN, so that programs started from here get the default action back.
void OnBrokenPipe(int /*signal*/) {}

void TerminateOnSignal() {
    char bytes[16];
    while (read(signalPair[0], bytes, sizeof bytes) > 0) {
    }
    Application->Terminate();
}

bool DisplayConnectionBroken() {
    if (qGuiApp == nullptr || QGuiApplication::platformName() != QLatin1String("xcb")) {
        return false;
    }
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr && xcb_connection_has_error(x11->connection()) != 0;
}

} // namespace

bool TDesktopSession::CanStart(int& argc, char**& argv) {
    const std::string platform = QtOption(argc, argv, "-platform", std::getenv("QT_QPA_PLATFORM"));
    if (!platform.empty() && platform.rfind("xcb", 0) != 0) {
        return true;
    }
    const std::string display = QtOption(argc, argv, "-display", std::getenv("DISPLAY"));
    if (!ConnectToDisplay(display)) {
        std::cerr << ProgramName(argc, argv) << ": cannot open display "
                  << (display.empty() ? "(DISPLAY is not set)" : display) << std::endl;
        return false;
    }
    if (platform.empty()) {
        ChooseX11(argc, argv);
    }
    return true;
}

TDesktopSession::TDesktopSession(std::function<void()> releaseOnDisplayLoss)
    : itsRelease(std::move(releaseOnDisplayLoss)) {
    if (checkConnection != nullptr) {
        xcb_disconnect(checkConnection);
        checkConnection = nullptr;
    }
    activeSession = this;
    [[maybe_unused]] static const bool hooked = std::atexit(LeaveOnDisplayLoss) == 0;
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPair) != 0) {
        return;
    }
    itsSignalNotifier = std::make_unique<QSocketNotifier>(signalPair[0], QSocketNotifier::Read);
    QObject::connect(itsSignalNotifier.get(), &QSocketNotifier::activated, TerminateOnSignal);
    struct sigaction action {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kEndSignals) {
        struct sigaction previous {};
        if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN) {
            sigaction(signal, &action, nullptr);
        }
    }
    struct sigaction brokenPipe = action;
    brokenPipe.sa_handler = OnBrokenPipe;
    struct sigaction previous {};
    if (sigaction(SIGPIPE, nullptr, &previous) == 0 && previous.sa_handler == SIG_DFL) {
        sigaction(SIGPIPE, &brokenPipe, nullptr);
    }
}

TDesktopSession::~TDesktopSession() {
    activeSession = nullptr;
    if (!itsSignalNotifier) {
        return;
    }
    for (const int signal : {SIGTERM, SIGHUP, SIGINT, SIGPIPE}) {
        struct sigaction current {};
        if (sigaction(signal, nullptr, &current) == 0 &&
            (current.sa_handler == OnEndSignal || current.sa_handler == OnBrokenPipe)) {
            std::signal(signal, SIG_DFL);
        }
    }
    itsSignalNotifier.reset();
    close(signalPair[0]);
    close(signalPair[1]);
    signalPair[0] = signalPair[1] = -1;
}

// Qt calls exit(1) from the user-interface thread when it finds the display connection broken.
// Only then, and only while a session exists, this lets go of the shared objects and ends with
// code 0 before anything touches the forms.
void TDesktopSession::LeaveOnDisplayLoss() {
    if (activeSession == nullptr || QCoreApplication::instance() == nullptr ||
        QThread::currentThread() != QCoreApplication::instance()->thread() ||
        !DisplayConnectionBroken()) {
        return;
    }
    if (activeSession->itsRelease) {
        activeSession->itsRelease();
    }
    _exit(0);
}

} // namespace tk
