// Quilbex_RightClick: shows the "Right Click" window whenever the shared variable store calls
// for it. It ends when told to from outside; its exit code is 0 on every path.
#include "rightclick/RightClickUnit.h"
#include "rightclick/TKX3_RightClickUnit.h"

#include <QSocketNotifier>

#include <csignal>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int terminateSignalPipe[2] = {-1, -1};

void OnTerminateSignal(int /*signal*/) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(terminateSignalPipe[1], &byte, 1);
}

// The end of the user's session (SIGTERM, SIGHUP) or an interrupt ends the application the
// ordinary way, so its forms are destroyed and the store is left cleanly.
std::unique_ptr<QSocketNotifier> TerminateOnSignals() {
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, terminateSignalPipe) != 0) {
        return nullptr;
    }
    auto notifier =
        std::make_unique<QSocketNotifier>(terminateSignalPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated,
                     [] { tk::Application->Terminate(); });
    std::signal(SIGTERM, OnTerminateSignal);
    std::signal(SIGHUP, OnTerminateSignal);
    std::signal(SIGINT, OnTerminateSignal);
    return notifier;
}

} // namespace

int main(int argc, char** argv) {
    using tk::Application;
    try {
        Application->Initialize(argc, argv);
        const auto signalNotifier = TerminateOnSignals();
        Application->CreateForm(KX3_RightClickUnit);
        Application->CreateForm(RightClickForm);
        Application->Run();
    } catch (const tk::Exception& e) {
        Application->ShowException(e);
    } catch (...) {
        Application->ShowException(tk::Exception(""));
    }
    return 0;
}
