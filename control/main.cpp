// The control panel program: one copy at a time; creates its nine forms and runs.
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

// Created before main runs: a second copy finds the mutex and leaves before any window exists.
static TSingleInstance SingleInstance;

int main(int argc, char** argv) {
    if (SingleInstance.LastError == ERROR_ALREADY_EXISTS)
        return 0;
    using tk::Application;
    try {
        Application->Initialize(argc, argv);
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
