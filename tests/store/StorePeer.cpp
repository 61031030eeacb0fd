// A second process for the store's tests: joins a group as master or slave, creates variables,
// reads and writes them, and reports on stdout what it sees. Driven by one command per line on
// stdin; every command answers with one line, and every OnChange prints "change <index> <value>".
#include "platform/Ipc.h"
#include "store/ShareManBase.h"
#include "store/ShareVarPoly.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

class Peer {
public:
    Peer() : itsVars(new TShareVarPoly(nullptr)) {}
    ~Peer() { delete itsVars; }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    void Run(const std::string& line) {
        std::istringstream in(line);
        std::string command;
        in >> command;
        TShareManBase* manager = TShareManBase::GetShareManBase();
        if (command == "group") {
            std::string name;
            in >> name;
            manager->SetGrpName(name);
            Say("ok");
        } else if (command == "master") {
            int master = 0;
            in >> master;
            manager->SetMaster(master != 0);
            Say("ok");
        } else if (command == "interval") {
            unsigned long interval = 0;
            in >> interval;
            manager->SetInterval(interval);
            Say("ok");
        } else if (command == "add") {
            std::string sec, name, type;
            int count = 1;
            in >> sec >> name >> type >> count;
            Add(sec, name, type, count);
        } else if (command == "activate" || command == "deactivate") {
            manager->SetActive(command == "activate");
            Say("active " + std::to_string(manager->GetActive()) + " master " +
                std::to_string(manager->GetMaster()) + " mc " +
                std::to_string(manager->GetMasterCount()) + " sc " +
                std::to_string(manager->GetSlaveCount()));
        } else if (command == "set" || command == "setx") {
            int index = 0, element = 0;
            double value = 0;
            in >> index >> element >> value;
            Write(index, element, value, command == "set");
            Say("ok");
        } else if (command == "burst") {
            int index = 0, count = 0;
            in >> index >> count;
            for (int i = 1; i <= count; ++i) {
                Write(index, 0, i, true);
            }
            Say("ok");
        } else if (command == "get") {
            int index = 0, element = 0;
            in >> index >> element;
            Say("value " + Format(Read(index, element)));
        } else if (command == "id") {
            int index = 0;
            in >> index;
            Say("id " + std::to_string(Var(index)->GetID()));
        } else if (command == "counts") {
            Say("counts " + std::to_string(manager->GetMasterCount()) + " " +
                std::to_string(manager->GetSlaveCount()));
        } else if (command == "lock") {
            int index = 0;
            in >> index;
            Var(index)->Lock(); // held until the process ends
            Say("locked");
        } else if (command == "poll") {
            manager->DoPoll(nullptr);
            Say("polled");
        } else if (command == "quit") {
            delete itsVars; // the manager goes with its last variable, deactivating the store
            itsVars = nullptr;
            Say("bye");
            QCoreApplication::quit();
        } else {
            Say("echo " + line);
        }
    }

private:
    static void Say(const std::string& text) {
        std::fputs((text + "\n").c_str(), stdout);
        std::fflush(stdout);
    }

    static std::string Format(double value) {
        char text[64];
        std::snprintf(text, sizeof(text), "%.9g", value);
        return text;
    }

    TShareVarBase* Var(int index) { return itsVars->GetVar(index); }

    void Add(const std::string& sec, const std::string& name, const std::string& type, int count) {
        const int index = itsVars->GetCount();
        TShareVarBase* variable = itsVars->AddItem(
            sec, name, type, count,
            [this, index](tk::TObject*) {
                Say("change " + std::to_string(index) + " " + Format(Read(index, 0)));
            },
            nullptr, true);
        Say("added " + std::to_string(variable != nullptr ? index : -1));
    }

    double Read(int index, int element) {
        TShareVarBase* variable = Var(index);
        if (variable == nullptr) {
            return 0;
        }
        const std::string type = variable->GetVarType();
        if (type == "Boo") {
            return variable->GetValueBoolA(element) ? 1 : 0;
        }
        if (type == "Int") {
            return variable->GetValueIntA(element);
        }
        if (type == "Flo") {
            return variable->GetValueFloatA(element);
        }
        return variable->GetValueDoubleA(element);
    }

    void Write(int index, int element, double value, bool announce) {
        TShareVarBase* variable = Var(index);
        if (variable == nullptr) {
            return;
        }
        const std::string type = variable->GetVarType();
        if (type == "Boo") {
            announce ? variable->SetValueBoolA(element, value != 0)
                     : variable->SetValueBoolXA(element, value != 0);
        } else if (type == "Int") {
            announce ? variable->SetValueIntA(element, static_cast<int>(value))
                     : variable->SetValueIntXA(element, static_cast<int>(value));
        } else if (type == "Flo") {
            announce ? variable->SetValueFloatA(element, static_cast<float>(value))
                     : variable->SetValueFloatXA(element, static_cast<float>(value));
        } else {
            announce ? variable->SetValueDoubleA(element, value)
                     : variable->SetValueDoubleXA(element, value);
        }
    }

    TShareVarPoly* itsVars;
};

// Fault injection: QUILBEX_IPC_KILL_AFTER_LOCKS=N kills the peer (SIGKILL) right after its N-th
// mutex acquisition, QUILBEX_IPC_STOP_AFTER_LOCKS=N stops it there (SIGSTOP), so that a test can
// end or stop it at any step of its locked updates. QUILBEX_IPC_STOP_MAKING=N stops it half-way
// through making its N-th shared object (sized, not yet initialised).
struct Countdown {
    std::atomic<long> left{0};
    int signal = 0;
    void Step() {
        if (left.fetch_sub(1) == 1) {
            std::raise(signal);
        }
    }
};
Countdown gLocks;
Countdown gObjects;

bool Arm(Countdown& countdown, const char* variable, int signal) {
    const char* value = std::getenv(variable);
    const long count = value != nullptr ? std::strtol(value, nullptr, 10) : 0;
    if (count > 0) {
        countdown.left = count;
        countdown.signal = signal;
    }
    return count > 0;
}

void InstallFaultInjection() {
    if (Arm(gLocks, "QUILBEX_IPC_KILL_AFTER_LOCKS", SIGKILL) ||
        Arm(gLocks, "QUILBEX_IPC_STOP_AFTER_LOCKS", SIGSTOP)) {
        platform::SetAcquisitionHook([] { gLocks.Step(); });
    }
    if (Arm(gObjects, "QUILBEX_IPC_STOP_MAKING", SIGSTOP)) {
        platform::SetCreationHook([] { gObjects.Step(); });
    }
}

} // namespace

int main(int argc, char** argv) {
    InstallFaultInjection();
    QCoreApplication app(argc, argv);
    Peer peer;
    std::string pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[4096];
        const ssize_t length = read(STDIN_FILENO, buffer, sizeof(buffer));
        if (length <= 0) {
            input.setEnabled(false);
            QCoreApplication::quit();
            return;
        }
        pending.append(buffer, static_cast<std::size_t>(length));
        std::size_t end = 0;
        while ((end = pending.find('\n')) != std::string::npos) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            peer.Run(line);
        }
    });
    return QCoreApplication::exec();
}
