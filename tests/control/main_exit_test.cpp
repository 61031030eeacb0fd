// The last step of leaving: the application terminates on the second tick after the exit was
// confirmed. Terminating ends every later event loop of the process, so this test has an
// executable of its own.
#include "main_test_support.h"

#include "tests/control/support/DriverProcess.h"

#include <gtest/gtest.h>

TEST(MainFormExit, ApplicationEndsOnTheSecondTickAfterConfirming) {
    PanelForms forms;
    forms.Tick();
    {
        ModalAnswer yes(KXBW3_Exit, KXBW3_Exit->OKButton);
        forms.Main()->SaveAndExitButton->Click();
        EXPECT_EQ(yes.Count(), 1);
    }
    EXPECT_EQ(forms.Main()->GetExitState(), 1);
    forms.Tick();
    EXPECT_FALSE(tk::Application->GetTerminated());
    forms.Tick();
    EXPECT_TRUE(tk::Application->GetTerminated());
}
