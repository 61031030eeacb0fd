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

#include <functional>
#include <vector>

// The program's nine forms in its globals, created in the program's order, with the main timer
// stopped so tests run the ticks themselves. A form whose global a test has already set is left
// as it is (and is not destroyed here).
class PanelForms {
public:
    PanelForms() {
        Create(KXBW3_Main);
        KXBW3_Main->SlowTimer->SetEnabled(false);
        Create(KXBW3_CalibScreen);
        Create(KXBW3_SenseScreen);
        Create(KXBW3_Save);
        Create(KXBW3_Exit);
        Create(KXBW3_UserManual);
        Create(KXBW3_Version);
        Create(KXBW3_License);
        Create(KXBW3_About);
    }
    ~PanelForms() {
        for (auto it = itsCreated.rbegin(); it != itsCreated.rend(); ++it)
            (*it)();
    }
    PanelForms(const PanelForms&) = delete;
    PanelForms& operator=(const PanelForms&) = delete;

    TKXBW3_Main* Main() const { return KXBW3_Main; }
    TKXBW3_Status* Status() const { return KXBW3_Main->itsStatus; }
    void Tick() const { KXBW3_Main->SlowTimerTimer(KXBW3_Main); }

private:
    template <class T> void Create(T*& global) {
        if (global != nullptr)
            return;
        global = new T(nullptr);
        itsCreated.push_back([&global] {
            delete global;
            global = nullptr;
        });
    }

    std::vector<std::function<void()>> itsCreated;
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
