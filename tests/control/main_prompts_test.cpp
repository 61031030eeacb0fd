// The prompts and information dialogs.
#include "main_test_support.h"

#include "control/KXB3_Brand.h"
#include "tests/control/support/DriverProcess.h"

#include <gtest/gtest.h>

using namespace tk;

TEST(Prompts, YesGivesOkAndNoGivesCancel) {
    TKXBW3_Save save(nullptr);
    TKXBW3_Exit exitPrompt(nullptr);
    EXPECT_EQ(save.GetCaption(), "Save");
    EXPECT_EQ(exitPrompt.GetCaption(), "Exit");
    for (TForm* form : {static_cast<TForm*>(&save), static_cast<TForm*>(&exitPrompt)}) {
        EXPECT_EQ(form->GetBorderIcons(), 0u);
        EXPECT_EQ(form->GetBorderStyle(), bsDialog);
    }
    EXPECT_EQ(save.OKButton->GetCaption(), "YES");
    EXPECT_EQ(save.CancelButton->GetCaption(), "NO");
    EXPECT_TRUE(save.CancelButton->GetDefault());
    EXPECT_EQ(save.Label2->GetCaption(), "The settings have been modified.");
    EXPECT_EQ(save.Label1->GetCaption(), "Do you wish to save the new settings ?");
    EXPECT_EQ(exitPrompt.Label2->GetCaption(), "Are you sure you want to exit ?");

    {
        ModalAnswer yes(&save, save.OKButton);
        EXPECT_EQ(save.ShowModal(), mrOk);
    }
    {
        ModalAnswer no(&save, save.CancelButton);
        EXPECT_EQ(save.ShowModal(), mrCancel);
    }
    {
        ModalAnswer yes(&exitPrompt, exitPrompt.OKButton);
        EXPECT_EQ(exitPrompt.ShowModal(), mrOk);
    }
    {
        ModalAnswer no(&exitPrompt, exitPrompt.CancelButton);
        EXPECT_EQ(exitPrompt.ShowModal(), mrCancel);
    }
    EXPECT_FALSE(save.GetVisible());
}

TEST(Prompts, PromptLinesStackUnderAnEmptyFirstLine) {
    TKXBW3_Save save(nullptr);
    EXPECT_EQ(save.GetClientWidth(), 232);
    EXPECT_EQ(save.GetClientHeight(), 102);
    EXPECT_EQ(save.Label3->GetTop(), 0);
    EXPECT_EQ(save.Label3->GetHeight(), 17);
    EXPECT_EQ(save.Label2->GetTop(), 17);
    EXPECT_EQ(save.Label1->GetTop(), save.Label2->GetTop() + save.Label2->GetHeight());
    EXPECT_EQ(save.Label2->GetWidth(), 232);
    EXPECT_EQ(save.Label2->GetAlignment(), taCenter);
    EXPECT_EQ(save.OKButton->GetBoundsRect(), Rect(144, 64, 225, 97));
    EXPECT_EQ(save.CancelButton->GetBoundsRect(), Rect(8, 64, 89, 97));
}

TEST(Prompts, ManualPanelOpensTheQuotedPathInThePdfReaderAndCloses) {
    TKXBW3_UserManual manual(nullptr);
    EXPECT_EQ(manual.GetFileName(), "");
    manual.SetFileName("/opt/some dir/User Manual.pdf");
    ModalAnswer press(&manual, manual.UserManualPanel);
    EXPECT_EQ(manual.ShowModal(), mrOk);
    EXPECT_EQ(press.Count(), 1);
    ASSERT_EQ(TestShell().Calls.size(), 1u);
    EXPECT_EQ(TestShell().Calls[0].File, "acrord32.exe");
    EXPECT_EQ(TestShell().Calls[0].Parameters, "\"/opt/some dir/User Manual.pdf\"");
    EXPECT_EQ(manual.UserManualPanel->GetCaption(), "Press for User Manual");
    EXPECT_EQ(manual.UserManualPanel->GetColor(), clLime);
}

TEST(Prompts, LicencePanelStartsTheEditorEvenWithoutTheFile) {
    TKXBW3_License licence(nullptr);
    licence.SetFileName("/nonexistent/License.txt");
    ModalAnswer press(&licence, licence.UserManualPanel);
    EXPECT_EQ(licence.ShowModal(), mrOk);
    ASSERT_EQ(TestShell().Calls.size(), 1u);
    EXPECT_EQ(TestShell().Calls[0].File, "notepad.exe");
    EXPECT_EQ(TestShell().Calls[0].Parameters, "\"/nonexistent/License.txt\"");
    EXPECT_EQ(licence.GetFileName(), "/nonexistent/License.txt");
}

TEST(Prompts, AboutShowsTheMakerBetweenEmptyLines) {
    TKXBW3_About about(nullptr);
    EXPECT_EQ(about.GetCaption(), "About");
    EXPECT_EQ(about.Label3->GetCaption(), BrandField(0, bfMakerName));
    EXPECT_FALSE(about.Label3->GetCaption().empty());
    for (TLabel* empty : {about.Label1, about.Label2, about.Label4, about.Label5, about.Label6})
        EXPECT_EQ(empty->GetCaption(), "");
    EXPECT_EQ(about.Label3->GetTop(), 26);
    EXPECT_EQ(about.Label6->GetTop(), 65);
    ModalAnswer ok(&about, about.OKButton);
    EXPECT_EQ(about.ShowModal(), mrOk);
}
