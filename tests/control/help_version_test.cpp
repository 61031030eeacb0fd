// The help page and the version dialog: the version from the INI file the driver writes, the
// variant from the driver's auto-detect flags, the button grid and what each button opens.
#include "control/KXB3_About.h"
#include "control/KXB3_Brand.h"
#include "control/KXB3_Help.h"
#include "control/KXB3_License.h"
#include "control/KXB3_UserManual.h"
#include "control/KXB3_Version.h"
#include "store/ShareManager.h"
#include "tests/control/support/DriverProcess.h"
#include "toolkit/IniFiles.h"

#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

namespace {

const char* const kFlags[] = {"AutoDetectCom1", "AutoDetectCom2", "AutoDetectCom3",
                              "AutoDetectCom4", "AutoDetectCom5", "AutoDetectCom6",
                              "AutoDetectCom7", "AutoDetectCom8", "AutoDetectUSB"};

std::string DirectoryOf(const std::string& path) {
    return std::filesystem::path(path).parent_path().string() + "/";
}

// Ends the next modal display of form with OK once it is shown, after running whileShown.
void CloseWhenShown(tk::TForm* form, std::function<void()> whileShown = {}) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [form, timer, whileShown] {
        if (!form->IsModal())
            return;
        if (whileShown)
            whileShown();
        form->SetModalResult(tk::mrOk);
        timer->deleteLater();
    });
    timer->start(5);
}

// A help page in dir with the version dialog installed, the store active beside the driver.
class HelpPage : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(itsDriver.Start());
        itsVersion = std::make_unique<TKXBW3_Version>(nullptr);
        KXBW3_Version = itsVersion.get();
    }

    void TearDown() override {
        if (itsStore)
            itsStore->SetActive(false);
        itsHelp.reset();
        itsStore.reset();
        KXBW3_Version = nullptr;
    }

    TKXBW3_Help& Open(const std::string& dir) {
        itsHelp = std::make_unique<TKXBW3_Help>(nullptr, dir);
        itsStore = std::make_unique<TShareManager>(nullptr);
        itsStore->SetActive(true);
        return *itsHelp;
    }

    void SetFlags(std::initializer_list<const char*> raised) {
        for (const char* flag : kFlags) {
            const bool on = std::find_if(raised.begin(), raised.end(), [&](const char* r) {
                                return std::string(r) == flag;
                            }) != raised.end();
            ASSERT_TRUE(itsDriver.Set("Comm", flag, on ? "1" : "0")) << flag;
        }
    }

    std::string Variant() const { return itsVersion->DriverVariantValueLabel->GetCaption(); }
    std::string Version() const { return itsVersion->DriverVersionValueLabel->GetCaption(); }

    DriverProcess itsDriver;
    std::unique_ptr<TKXBW3_Version> itsVersion;
    std::unique_ptr<TKXBW3_Help> itsHelp;
    std::unique_ptr<TShareManager> itsStore;
};

} // namespace

TEST_F(HelpPage, VariantFollowsTheAutoDetectFlags) {
    TKXBW3_Help& help = Open(DirectoryOf(itsDriver.IniPath()));
    struct Case {
        std::initializer_list<const char*> raised;
        const char* variant;
    };
    const Case cases[] = {
        {{}, ""},
        {{"AutoDetectCom5"}, "Serial"},
        {{"AutoDetectCom8"}, "Serial"},
        {{"AutoDetectUSB"}, "USB"},
        {{"AutoDetectCom1", "AutoDetectUSB"}, "Serial + USB"},
        {{"AutoDetectCom1", "AutoDetectCom2", "AutoDetectCom3", "AutoDetectCom4", "AutoDetectCom5",
          "AutoDetectCom6", "AutoDetectCom7", "AutoDetectCom8", "AutoDetectUSB"},
         "Serial + USB"},
        {{}, ""},
    };
    for (const Case& c : cases) {
        SetFlags(c.raised);
        help.UpdateVersionInfo();
        EXPECT_EQ(Variant(), c.variant) << "after " << c.raised.size() << " flags";
    }
}

TEST_F(HelpPage, VersionComesFromTheIniFileTheDriverWrites) {
    Open(DirectoryOf(itsDriver.IniPath())).UpdateVersionInfo();
    EXPECT_EQ(Version(), "1.0.4");
}

TEST_F(HelpPage, MissingIniFileGivesAnEmptyVersionLine) {
    QTemporaryDir empty;
    SetFlags({"AutoDetectUSB"});
    Open(empty.path().toStdString() + "/").UpdateVersionInfo();

    EXPECT_EQ(itsVersion->Label2->GetCaption(), "");
    EXPECT_EQ(itsVersion->Label1->GetCaption(), "Software Version:");
    EXPECT_EQ(Version(), "");
    EXPECT_EQ(Variant(), "USB");
}

TEST_F(HelpPage, EachPressOfSoftwareVersionReadsAgainBeforeShowing) {
    QTemporaryDir dir;
    const std::string exeDir = dir.path().toStdString() + "/";
    TKXBW3_Help& help = Open(exeDir);
    const auto writeVersion = [&](const std::string& version) {
        tk::TMemIniFile ini(exeDir + BrandField(0, bfIniFile));
        ini.WriteString("Product", "Version", version);
        ini.UpdateFile();
    };

    std::string shownVersion, shownVariant;
    const auto press = [&] {
        CloseWhenShown(itsVersion.get(), [&] {
            shownVersion = Version();
            shownVariant = Variant();
        });
        help.SoftwareVersionButton->Click();
    };

    writeVersion("2.5");
    SetFlags({"AutoDetectCom3"});
    press();
    EXPECT_EQ(shownVersion, "2.5");
    EXPECT_EQ(shownVariant, "Serial");

    writeVersion("2.6");
    SetFlags({"AutoDetectCom3", "AutoDetectUSB"});
    press();
    EXPECT_EQ(shownVersion, "2.6");
    EXPECT_EQ(shownVariant, "Serial + USB");
    EXPECT_FALSE(itsVersion->GetVisible());
}

TEST_F(HelpPage, LiveDriverRaisesAllNineFlags) {
    TKXBW3_Help& help = Open(DirectoryOf(itsDriver.IniPath()));
    ASSERT_TRUE(itsDriver.Live(true));
    ASSERT_TRUE(WaitFor([&] { return itsDriver.GetBool("Comm", "AutoDetectUSB"); }));
    for (const char* flag : kFlags)
        EXPECT_TRUE(itsDriver.GetBool("Comm", flag)) << flag;
    help.UpdateVersionInfo();
    EXPECT_EQ(Variant(), "Serial + USB");
}

TEST(HelpGrid, ButtonsFillFourCellsOfAFiveByFiveGrid) {
    TKXBW3_Help help(nullptr, "/nonexistent/");
    help.SetBounds(0, 0, 500, 400);
    const auto bounds = [](const tk::TButton* b) {
        return std::vector<int>{b->GetLeft(), b->GetTop(), b->GetWidth(), b->GetHeight()};
    };
    EXPECT_EQ(bounds(help.UserManualButton), (std::vector<int>{100, 80, 100, 80}));
    EXPECT_EQ(bounds(help.SoftwareVersionButton), (std::vector<int>{300, 80, 100, 80}));
    EXPECT_EQ(bounds(help.LicenseButton), (std::vector<int>{100, 240, 100, 80}));
    EXPECT_EQ(bounds(help.AboutButton), (std::vector<int>{300, 240, 100, 80}));

    // Integer division: a frame of 503 x 404 keeps the same cells.
    help.SetBounds(0, 0, 503, 404);
    EXPECT_EQ(bounds(help.AboutButton), (std::vector<int>{300, 240, 100, 80}));
}

TEST(HelpButtons, DocumentFormsGetTheirPathsInTheProgramDirectory) {
    TKXBW3_UserManual manual(nullptr);
    TKXBW3_License licence(nullptr);
    TKXBW3_About about(nullptr);
    KXBW3_UserManual = &manual;
    KXBW3_License = &licence;
    KXBW3_About = &about;
    TKXBW3_Help help(nullptr, "/opt/touch panel/");

    CloseWhenShown(&manual);
    help.UserManualButton->Click();
    EXPECT_EQ(manual.GetFileName(), "/opt/touch panel/User Manual.pdf");
    CloseWhenShown(&licence);
    help.LicenseButton->Click();
    EXPECT_EQ(licence.GetFileName(), "/opt/touch panel/License.txt");
    CloseWhenShown(&about);
    help.AboutButton->Click();
    EXPECT_FALSE(about.GetVisible());
    // Showing the forms starts nothing; only their panels do.
    EXPECT_TRUE(TestShell().Calls.empty());

    KXBW3_UserManual = nullptr;
    KXBW3_License = nullptr;
    KXBW3_About = nullptr;
}

TEST(AboutBox, ThirdLineIsTheMakersNameBetweenEmptyLines) {
    TKXBW3_About about(nullptr);
    EXPECT_FALSE(BrandField(0, bfMakerName).empty());
    EXPECT_EQ(about.Label3->GetCaption(), BrandField(0, bfMakerName));
    for (const tk::TLabel* label :
         {about.Label1, about.Label2, about.Label4, about.Label5, about.Label6})
        EXPECT_EQ(label->GetCaption(), "");
    // Stacked from the top: the maker's name is the third row.
    EXPECT_LT(about.Label2->GetTop(), about.Label3->GetTop());
    EXPECT_LT(about.Label3->GetTop(), about.Label4->GetTop());
}

TEST(VersionDialog, LayoutAndOkButton) {
    TKXBW3_Version dialog(nullptr);
    EXPECT_EQ(dialog.GetCaption(), "Software Version");
    EXPECT_EQ(dialog.GetClientWidth(), 293);
    EXPECT_EQ(dialog.GetClientHeight(), 113);
    const tk::TLabel* rows[] = {dialog.Label2, dialog.Label1, dialog.DriverVersionValueLabel,
                                dialog.DriverVariantValueLabel};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(rows[i]->GetTop(), 13 * i);
        EXPECT_EQ(rows[i]->GetHeight(), 13);
    }
    EXPECT_EQ(dialog.OKButton->GetModalResult(), tk::mrOk);
    EXPECT_TRUE(dialog.OKButton->GetDefault());

    dialog.SetDriverVersion("3.1");
    dialog.SetDriverVariant("USB");
    QTimer::singleShot(0, [&] { dialog.OKButton->Click(); });
    EXPECT_EQ(dialog.ShowModal(), tk::mrOk);
    // The texts stay until the next update.
    EXPECT_EQ(dialog.DriverVersionValueLabel->GetCaption(), "3.1");
    EXPECT_EQ(dialog.DriverVariantValueLabel->GetCaption(), "USB");
}
