// The control panel program: one copy at a time; creates its nine forms and runs. It starts only
// where its display answers, and ends with code 0 on every path.
#include "control/KXB3_About.h"
#include "control/KXB3_CalibScreen.h"
#include "control/KXB3_Exit.h"
#include "control/KXB3_License.h"
#include "control/KXB3_Main.h"
#include "control/KXB3_Save.h"
#include "control/KXB3_SenseScreen.h"
#include "control/KXB3_UserManual.h"
#include "control/KXB3_Version.h"
#include "control/SingleInstance.h"
#include "store/ShareManager.h"
#include "toolkit/DesktopSession.h"

#include <optional>

int main(int argc, char** argv) {
    if (!tk::TDesktopSession::CanStart(argc, argv))
        return 0;
    using tk::Application;
    try {
        Application->Initialize(argc, argv);
        // The guard is made once signals end the program cleanly, and only where the display
        // answers: a panel that cannot start leaves nothing behind. A second copy leaves here,
        // before any window exists.
        std::optional<TSingleInstance> singleInstance;
        const tk::TDesktopSession session([&singleInstance] {
            if (KXBW3_Main != nullptr)
                KXBW3_Main->ShareManager1->SetActive(false);
            singleInstance.reset();
        });
        singleInstance.emplace();
        if (singleInstance->LastError == ERROR_ALREADY_EXISTS)
            return 0;
        Application->SetTitle("");
        // The nine forms in order: main form, calibration screen, sensitivity screen, save
        // prompt, exit prompt, user-manual form, version form, licence form, about form.
        Application->CreateForm(KXBW3_Main);
        Application->CreateForm(KXBW3_CalibScreen);
        Application->CreateForm(KXBW3_SenseScreen);
        Application->CreateForm(KXBW3_Save);
        Application->CreateForm(KXBW3_Exit);
        Application->CreateForm(KXBW3_UserManual);
        Application->CreateForm(KXBW3_Version);
        Application->CreateForm(KXBW3_License);
        Application->CreateForm(KXBW3_About);
        Application->Run();
    } catch (const tk::Exception& e) {
        Application->ShowException(e);
    }
    return 0;
}
