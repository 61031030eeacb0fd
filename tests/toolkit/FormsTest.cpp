// Forms: modal display with timers ticking, closing rules, key preview; the application
// object's exception display; the web view; the recording window services.
#include "toolkit/Forms.h"
#include "platform/WindowServices.h"
#include "toolkit/WebBrowser.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>

using namespace tk;

namespace {

// A dialog with an OK button and a fast timer that acts after a few ticks.
class TickingDialog : public TForm {
public:
    explicit TickingDialog(TComponent* AOwner) : TForm(AOwner) {
        OKButton = new TButton(this);
        OKButton->SetParent(this);
        OKButton->SetModalResult(mrOk);
        Timer = new TTimer(this);
        Timer->SetInterval(5);
        Timer->OnTimer = Bind(this, &TickingDialog::TimerTimer);
    }
    TButton* OKButton;
    TTimer* Timer;
    int ticks = 0;
    int actAfter = 3;
    std::function<void()> action;

private:
    void TimerTimer(TObject*) {
        if (++ticks == actAfter && action) {
            action();
        } else if (ticks > 400) {
            Close(); // the action did not end the display: fail instead of hanging
        }
    }
};

TEST(FormModalTest, ShowModalReturnsTheButtonsResultWhileTimersTick) {
    TickingDialog dialog(nullptr);
    int shows = 0;
    dialog.OnShow = [&](TObject*) { ++shows; };
    dialog.action = [&] { dialog.OKButton->Click(); };
    EXPECT_EQ(dialog.ShowModal(), mrOk);
    EXPECT_EQ(dialog.ticks, 3);
    EXPECT_EQ(shows, 1);
    EXPECT_FALSE(dialog.GetVisible()) << "the form hides when the modal display ends";
}

TEST(FormModalTest, EveryOtherWayOfClosingGivesCancel) {
    TickingDialog dialog(nullptr);
    dialog.action = [&] { dialog.Close(); };
    EXPECT_EQ(dialog.ShowModal(), mrCancel);

    dialog.ticks = 0;
    dialog.action = [&] { dialog.Hide(); };
    EXPECT_EQ(dialog.ShowModal(), mrCancel);

    dialog.ticks = 0;
    dialog.action = [&] {
        QCloseEvent close; // the title bar's close button
        QApplication::sendEvent(dialog.Widget(), &close);
    };
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
}

TEST(FormModalTest, OnCloseCanRefuseToEndTheModalDisplay) {
    TickingDialog dialog(nullptr);
    int refusals = 0;
    dialog.OnClose = [&](TObject*, TCloseAction& action) {
        if (refusals++ == 0) {
            action = caNone;
        }
    };
    dialog.action = [&] { dialog.SetModalResult(mrOk); };
    dialog.actAfter = 2;
    dialog.Timer->OnTimer = [&](TObject*) {
        if (++dialog.ticks % 2 == 0) {
            dialog.SetModalResult(dialog.ticks < 4 ? mrOk : mrCancel);
        }
    };
    EXPECT_EQ(dialog.ShowModal(), mrCancel) << "the refused OK leaves it open for the cancel";
    EXPECT_EQ(refusals, 2);
}

TEST(FormModalTest, ShowModalOfAVisibleFormRaises) {
    TForm form(nullptr);
    form.Show();
    EXPECT_THROW(form.ShowModal(), Exception);
}

TEST(FormCloseTest, CloseQueryAndCloseActionDecideWhatHappens) {
    TForm form(nullptr);
    form.Show();
    bool canClose = false;
    form.OnCloseQuery = [&](TObject*, bool& allowed) { allowed = canClose; };
    form.Close();
    EXPECT_TRUE(form.GetVisible());

    canClose = true;
    TCloseAction chosen = caNone;
    form.OnClose = [&](TObject*, TCloseAction& action) {
        EXPECT_EQ(action, caHide);
        action = chosen;
    };
    form.Close();
    EXPECT_TRUE(form.GetVisible()) << "caNone keeps it open";
    chosen = caHide;
    form.Close();
    EXPECT_FALSE(form.GetVisible());
}

TEST(FormCloseTest, CaFreeDestroysTheFormAfterTheHandler) {
    auto* form = new TForm(Application);
    bool destroyed = false;
    auto* marker = new TTimer(form);
    marker->SetEnabled(false);
    marker->OnTimer = nullptr;
    const int before = Application->ComponentCount();
    form->OnClose = [&](TObject*, TCloseAction& action) { action = caFree; };
    form->Show();
    form->Close();
    EXPECT_EQ(Application->ComponentCount(), before) << "not while its events run";
    QApplication::processEvents();
    destroyed = Application->ComponentCount() == before - 1;
    EXPECT_TRUE(destroyed);
}

TEST(FormKeyTest, KeyPreviewSeesKeysBeforeTheControls) {
    TForm form(nullptr);
    form.SetKeyPreview(true);
    std::vector<char> seen;
    form.OnKeyPress = [&](TObject*, char& key) {
        seen.push_back(key);
        if (key == 'x') {
            key = 0; // swallowed
        }
    };
    form.Show();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(form.Widget(), &escape);
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(form.Widget(), &letter);
    EXPECT_EQ(seen, (std::vector<char>{27, 'a'})) << "each key once";
}

TEST(FormKeyTest, EnterAndEscPressTheDefaultAndCancelButtons) {
    TickingDialog dialog(nullptr);
    dialog.OKButton->SetDefault(true);
    auto* cancel = new TButton(&dialog);
    cancel->SetParent(&dialog);
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    dialog.action = [&] {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(dialog.Widget(), &enter);
    };
    EXPECT_EQ(dialog.ShowModal(), mrOk);
    dialog.ticks = 0;
    dialog.action = [&] {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(dialog.Widget(), &escape);
    };
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
}

TEST(FormGeometryTest, MaximisedFormFillsTheScreenAndCentringUsesTheMainForm) {
    TForm form(nullptr);
    int resizes = 0;
    form.OnResize = [&](TObject*) { ++resizes; };
    form.OnShow = [&](TObject*) { form.SetWindowState(wsMaximized); };
    form.Show();
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    EXPECT_EQ(form.GetWidth(), screen.width());
    EXPECT_EQ(form.GetHeight(), screen.height());
    EXPECT_GE(resizes, 1);

    TForm centred(nullptr);
    centred.SetBounds(0, 0, 100, 50);
    centred.SetPosition(poScreenCenter);
    centred.Show();
    EXPECT_EQ(centred.GetLeft(), (screen.width() - 100) / 2);
    EXPECT_EQ(centred.GetTop(), (screen.height() - 50) / 2);
}

TEST(FormGeometryTest, BorderStyleAndIconsChooseTheWindowDecoration) {
    TForm form(nullptr);
    form.SetBorderStyle(bsNone);
    EXPECT_TRUE(form.Widget()->windowFlags() & Qt::FramelessWindowHint);

    form.SetBorderStyle(bsSizeable);
    form.SetBorderIcons(biSystemMenu);
    Qt::WindowFlags flags = form.Widget()->windowFlags();
    EXPECT_FALSE(flags & Qt::FramelessWindowHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);

    form.SetBorderStyle(bsDialog);
    form.SetBorderIcons(0);
    form.SetBounds(0, 0, 232, 102);
    flags = form.Widget()->windowFlags();
    EXPECT_FALSE(flags & Qt::WindowCloseButtonHint) << "no close box";
    EXPECT_EQ(form.Widget()->minimumSize(), QSize(232, 102)) << "a dialog is not resizable";
    EXPECT_EQ(form.Widget()->maximumSize(), QSize(232, 102));
}

TEST(FormGeometryTest, HandleStaysTheSameFromCreationToShow) {
    TForm form(nullptr);
    QWindow* handle = form.GetHandle();
    form.SetPosition(poScreenCenter);
    form.Show();
    EXPECT_EQ(form.GetHandle(), handle);
    form.Hide();
    form.Show();
    EXPECT_EQ(form.GetHandle(), handle);
}

TEST(FormGeometryTest, MenuTakesRoomAboveTheClientArea) {
    TForm form(nullptr);
    auto* menu = new TMainMenu(&form);
    auto* item = new TMenuItem(&form);
    item->SetCaption(" ");
    menu->GetItems()->Add(item);
    form.SetMenu(menu);
    form.SetClientWidth(672);
    form.SetClientHeight(505);
    EXPECT_EQ(form.GetClientHeight(), 505);
    EXPECT_GT(form.GetHeight(), 505);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetAlign(alClient);
    EXPECT_EQ(panel->GetHeight(), 505);
}

TEST(ApplicationTest, ExceptionsFromEventsGoToTheErrorDisplay) {
    std::vector<std::string> shown;
    Application->ExceptionDisplay = [&](const std::string& message) { shown.push_back(message); };
    TForm form(nullptr);
    auto* timer = new TTimer(&form);
    timer->SetInterval(1);
    bool fired = false;
    timer->OnTimer = [&](TObject*) {
        timer->SetEnabled(false);
        fired = true;
        throw Exception("Bad value");
    };
    while (!fired) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    Application->ExceptionDisplay = nullptr;
    EXPECT_EQ(shown, std::vector<std::string>{"Bad value."});

    Application->ExceptionDisplay = [&](const std::string& message) { shown.push_back(message); };
    Application->ShowException(Exception("Stop!"));
    Application->ShowException(Exception(""));
    Application->ExceptionDisplay = nullptr;
    EXPECT_EQ(shown, (std::vector<std::string>{"Bad value.", "Stop!", ""}));
}

TEST(ApplicationTest, FirstCreatedFormIsTheMainFormAndGetsOnCreate) {
    struct TCreated : public TForm {
        explicit TCreated(TComponent* AOwner) : TForm(AOwner) {
            OnCreate = [this](TObject*) { ++creates; };
        }
        int creates = 0;
    };
    TCreated* first = nullptr;
    TCreated* second = nullptr;
    Application->CreateForm(first);
    Application->CreateForm(second);
    EXPECT_EQ(Application->GetMainForm(), first);
    EXPECT_EQ(first->creates, 1);
    first->Show();
    EXPECT_EQ(first->creates, 1);
    Application->DestroyForms();
    EXPECT_EQ(Application->GetMainForm(), nullptr);
    EXPECT_FALSE(Application->GetExeName().empty());
}

TEST(ApplicationTest, FormsTakeACopyOfTheApplicationsIcon) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/icon.png";
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(path, "PNG"));
    EXPECT_THROW(Application->GetIcon()->LoadFromFile((dir.path() + "/none.ico").toStdString()),
                 Exception);
    Application->GetIcon()->LoadFromFile(path.toStdString());
    TForm form(nullptr);
    form.GetIcon()->Assign(Application->GetIcon());
    EXPECT_FALSE(form.GetIcon()->Empty());
    EXPECT_FALSE(form.Widget()->windowIcon().isNull());
    Application->GetIcon()->SetIcon(QIcon());
}

TEST(WebBrowserTest, NavigateShowsALocalPageAndCountsNavigations) {
    QTemporaryDir dir;
    const std::string page = (dir.path() + "/Contact Page.htm").toStdString();
    std::ofstream(page) << "<html>\r\n<head></head>\r\n<body>\r\n<p>Call us</p>\r\n</body>\r\n"
                           "</html>\r\n";
    TForm form(nullptr);
    auto* browser = new TWebBrowser(&form);
    browser->SetParent(&form);
    browser->SetAlign(alClient);
    browser->Navigate(page);
    browser->Navigate(page);
    EXPECT_EQ(browser->GetNavigateCount(), 2);
    EXPECT_EQ(browser->GetLocationName(), page);
    EXPECT_NE(browser->GetDocumentText().find("Call us"), std::string::npos);
    browser->Navigate(page + ".missing");
    EXPECT_EQ(browser->GetNavigateCount(), 3);
    EXPECT_TRUE(browser->GetDocumentText().empty());
}

TEST(WebBrowserTest, PictureAtFullSizeIsStretchedOverTheView) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("images"));
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(dir.path() + "/images/image1.jpg", "JPG", 100));
    const std::string page = (dir.path() + "/page.htm").toStdString();
    std::ofstream(page) << "<html>\r\n<head></head>\r\n<body>\r\n"
                           "<img  src=\"./images/image1.jpg\" width=\"100%\" height=\"100%\">\r\n"
                           "</body>\r\n</html>\r\n\r\n";
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* browser = new TWebBrowser(&form);
    browser->SetParent(&form);
    browser->SetAlign(alClient);
    browser->Navigate(page);
    form.Show();
    const QImage shown = browser->Widget()->grab().toImage();
    EXPECT_GT(shown.pixelColor(280, 180).red(), 200);
    EXPECT_LT(shown.pixelColor(280, 180).green(), 60);
    EXPECT_GT(shown.pixelColor(10, 10).red(), 200);
}

TEST(WindowServicesTest, RecorderSeesTheCallsTheFormsMake) {
    platform::RecordingWindowServices recorder;
    recorder.SetScreenSize(1024, 600);
    {
        const platform::ScopedWindowServices scope(&recorder);
        TForm form(nullptr);
        form.Show();
        auto& services = platform::WindowServicesInstance();
        services.MakeTopmost(form.GetHandle(),
                             platform::WindowPosNoMove | platform::WindowPosNoSize);
        services.HideTaskbarButton(form.GetHandle());
        EXPECT_EQ(services.PrimaryScreenSize().Width, 1024);
        const auto topmost =
            recorder.CallsOf(platform::RecordingWindowServices::CallKind::MakeTopmost);
        ASSERT_EQ(topmost.size(), 1u);
        EXPECT_EQ(topmost[0].Window, form.GetHandle());
        EXPECT_EQ(topmost[0].Flags, 3u);
        EXPECT_EQ(recorder.Calls().size(), 3u);
    }
    EXPECT_NE(&platform::WindowServicesInstance(), &recorder) << "the scope restores the desktop";
}

TEST(WindowServicesTest, DesktopServicesKeepAWindowOnTopAndMeasureTheScreen) {
    platform::DesktopWindowServices desktop;
    TForm form(nullptr);
    form.Show();
    desktop.MakeTopmost(form.GetHandle(), platform::WindowPosNoMove | platform::WindowPosNoSize |
                                              platform::WindowPosNoActivate);
    EXPECT_TRUE(form.GetHandle()->flags() & Qt::WindowStaysOnTopHint);
    const QSize screen = QGuiApplication::primaryScreen()->size();
    EXPECT_EQ(desktop.PrimaryScreenSize().Width, screen.width());
    EXPECT_EQ(desktop.PrimaryScreenSize().Height, screen.height());
    desktop.MakeTopmost(nullptr, 0); // nothing to do, nothing breaks
    desktop.HideTaskbarButton(form.GetHandle());
}

} // namespace
