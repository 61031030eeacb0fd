// Helpers of the main form's tests: the panel's forms built as the program builds them, and
// answers to modal prompts given from inside their modal loops.
#pragma once

#include "control/KXB3_About.h"
#include "control/KXB3_CalibScreen.h"
#include "control/KXB3_Exit.h"
#include "control/KXB3_License.h"
#include "control/KXB3_Main.h"
#include "control/KXB3_Save.h"
#include "control/KXB3_SenseScreen.h"
#include "control/KXB3_UserManual.h"
#include "control/KXB3_Version.h"

#include <QTimer>

// The program's nine forms in its globals, created in the program's order, with the main timer
// stopped so tests run the ticks themselves.
class PanelForms {
public:
    PanelForms() {
        KXBW3_Main = new TKXBW3_Main(nullptr);
        KXBW3_Main->SlowTimer->SetEnabled(false);
        KXBW3_CalibScreen = new TKXBW3_CalibScreen(nullptr);
        KXBW3_SenseScreen = new TKXBW3_SenseScreen(nullptr);
        KXBW3_Save = new TKXBW3_Save(nullptr);
        KXBW3_Exit = new TKXBW3_Exit(nullptr);
        KXBW3_UserManual = new TKXBW3_UserManual(nullptr);
        KXBW3_Version = new TKXBW3_Version(nullptr);
        KXBW3_License = new TKXBW3_License(nullptr);
        KXBW3_About = new TKXBW3_About(nullptr);
    }
    ~PanelForms() {
        Destroy(KXBW3_About);
        Destroy(KXBW3_License);
        Destroy(KXBW3_Version);
        Destroy(KXBW3_UserManual);
        Destroy(KXBW3_Exit);
        Destroy(KXBW3_Save);
        Destroy(KXBW3_SenseScreen);
        Destroy(KXBW3_CalibScreen);
        Destroy(KXBW3_Main);
    }
    PanelForms(const PanelForms&) = delete;
    PanelForms& operator=(const PanelForms&) = delete;

    TKXBW3_Main* Main() const { return KXBW3_Main; }
    TKXBW3_Status* Status() const { return KXBW3_Main->itsStatus; }
    void Tick() const { KXBW3_Main->SlowTimerTimer(KXBW3_Main); }

private:
    template <class T> static void Destroy(T*& form) {
        delete form;
        form = nullptr;
    }
};

// Presses `button` whenever `form` is shown modally, and counts the presses.
class ModalAnswer {
public:
    ModalAnswer(tk::TForm* form, tk::TControl* button) {
        itsTimer.setInterval(5);
        QObject::connect(&itsTimer, &QTimer::timeout, [this, form, button] {
            if (form->IsModal() && form->GetModalResult() == tk::mrNone) {
                ++itsCount;
                button->Click();
            }
        });
        itsTimer.start();
    }
    int Count() const { return itsCount; }

private:
    QTimer itsTimer;
    int itsCount = 0;
};
