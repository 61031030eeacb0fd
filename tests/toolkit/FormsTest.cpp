// Forms: modal display with timers ticking, closing rules, key preview; the application
// object's exception display; the web view; the recording window services.
#include "toolkit/Forms.h"
#include "platform/WindowServices.h"
#include "toolkit/WebBrowser.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <utility>

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
    auto* button = new TButton(&form);
    button->SetParent(&form);
    form.Show();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(form.Widget(), &escape);
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(form.Widget(), &letter);
    // A key the focused control does not take goes on up to the window.
    form.Widget()->activateWindow();
    button->SetFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), button->Widget());
    QKeyEvent ignored(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, "b");
    QApplication::sendEvent(button->Widget(), &ignored);
    EXPECT_EQ(seen, (std::vector<char>{27, 'a', 'b'})) << "each key once";
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

// A dialog with a default, a cancel and a third button and a check box; each key is typed
// into the control that has the focus, and the test reads which button it pressed.
class KeyDialog : public TForm {
public:
    explicit KeyDialog(TComponent* AOwner) : TForm(AOwner) {
        SetBounds(0, 0, 300, 100);
        Default = AddButton("default", 0);
        Default->SetDefault(true);
        Other = AddButton("other", 1);
        Cancel = AddButton("cancel", 2);
        Cancel->SetCancel(true);
        Box = new TCheckBox(this);
        Box->SetParent(this);
        Box->SetBounds(8, 60, 90, 17);
    }
    // Types the key (press and release, strokes times: a held key's repeats); returns the
    // buttons pressed.
    std::string Type(int key, quint64 time = 0, bool autoRepeat = false, int strokes = 1) {
        pressed.clear();
        QWidget* target = Widget()->focusWidget() != nullptr ? Widget()->focusWidget() : Widget();
        for (int i = 0; i < strokes; ++i) {
            Stroke(target, key, time, autoRepeat);
        }
        return pressed;
    }
    static void Stroke(QWidget* target, int key, quint64 time, bool autoRepeat = false) {
        const QString text = key == Qt::Key_Space ? QStringLiteral(" ") : QString();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text, autoRepeat);
        press.setTimestamp(time);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text, autoRepeat);
        release.setTimestamp(time);
        QApplication::sendEvent(target, &release);
    }
    // A touch on a button: the focus moves to it, then it is clicked; returns the buttons
    // pressed.
    std::string Touch(TButton* button) {
        button->SetFocus();
        const QPointF at(5, 5);
        QMouseEvent press(QEvent::MouseButtonPress, at, button->Widget()->mapToGlobal(at),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(button->Widget(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, button->Widget()->mapToGlobal(at),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(button->Widget(), &release);
        return pressed;
    }
    // Waits until a button is pressed (for ms at most); returns the buttons pressed.
    std::string WaitForPress(int ms = 10000) {
        QElapsedTimer waited;
        waited.start();
        while (pressed.empty() && waited.elapsed() < ms) {
            QThread::msleep(5);
            QApplication::processEvents();
        }
        return pressed;
    }
    // Runs the events that come within ms; returns the buttons pressed since the last Type.
    std::string Settle(int ms) {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < ms) {
            QThread::msleep(5);
            QApplication::processEvents();
        }
        return pressed;
    }
    TButton* Default;
    TButton* Other;
    TButton* Cancel;
    TCheckBox* Box;
    std::string pressed;

private:
    TButton* AddButton(const std::string& name, int index) {
        auto* button = new TButton(this);
        button->SetParent(this);
        button->SetBounds(8 + index * 90, 8, 81, 33);
        button->SetCaption(name);
        button->OnClick = [this, name](TObject*) { pressed += name; };
        return button;
    }
};

// As in the component library: Enter presses the focused button, else the default one;
// Space presses the focused button only; Esc presses the cancel button wherever the focus is.
TEST(FormKeyTest, EnterSpaceAndEscPressTheButtonsTheFocusChooses) {
    KeyDialog dialog(nullptr);
    dialog.Show();
    struct Case {
        TWinControl* focus;
        int key;
        const char* pressed;
    };
    const Case cases[] = {
        {dialog.Default, Qt::Key_Return, "default"}, {dialog.Other, Qt::Key_Return, "other"},
        {dialog.Box, Qt::Key_Return, "default"},     {dialog.Default, Qt::Key_Space, "default"},
        {dialog.Other, Qt::Key_Space, "other"},      {dialog.Box, Qt::Key_Space, ""},
        {dialog.Default, Qt::Key_Escape, "cancel"},  {dialog.Other, Qt::Key_Escape, "cancel"},
        {dialog.Box, Qt::Key_Escape, "cancel"},
    };
    for (const Case& c : cases) {
        c.focus->SetFocus();
        EXPECT_EQ(dialog.Type(c.key), c.pressed)
            << "focus on " << c.focus->GetCaption() << ", key " << std::hex << c.key;
    }
}

// What is drawn as the default is what Enter presses: the focused button, else the Default
// button (none without one); the focused button also shows the focus cue.
TEST(FormKeyTest, TheButtonEnterPressesIsDrawnAsTheDefault) {
    KeyDialog dialog(nullptr);
    dialog.Show();
    dialog.Widget()->activateWindow();
    struct Case {
        TWinControl* focus;
        bool hasDefault;
        TButton* drawn;
        bool defaultEnabled = true; // the Default button's state, set last
        bool defaultVisible = true;
    };
    const Case cases[] = {
        {dialog.Other, true, dialog.Other},
        {dialog.Box, true, dialog.Default},
        {dialog.Cancel, true, dialog.Cancel},
        {dialog.Default, true, dialog.Default},
        {dialog.Box, false, nullptr},
        {dialog.Box, true, dialog.Default},
        {dialog.Other, false, dialog.Other},
        {dialog.Box, true, nullptr, false},
        {dialog.Box, true, nullptr, true, false},
        {dialog.Box, true, dialog.Default},
    };
    QImage focused;   // the Default button as drawn with the focus
    QImage unfocused; // and as drawn while the check box has it
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(&c - cases));
        dialog.Default->SetDefault(c.hasDefault);
        c.focus->SetFocus();
        dialog.Default->SetEnabled(c.defaultEnabled);
        dialog.Default->SetVisible(c.defaultVisible);
        QApplication::processEvents();
        for (TButton* button : {dialog.Default, dialog.Other, dialog.Cancel}) {
            EXPECT_EQ(static_cast<QPushButton*>(button->Widget())->isDefault(), button == c.drawn)
                << button->GetCaption();
        }
        if (c.drawn == dialog.Default) {
            (c.focus == dialog.Default ? focused : unfocused) =
                dialog.Default->Widget()->grab().toImage();
        }
    }
    EXPECT_NE(focused, unfocused) << "no focus cue";
}

// A held key repeats: as flagged presses, or (on X11) as a release and a press with one time
// stamp. Only the key going down presses a button, so a key left held down by another
// program cannot answer every prompt that opens; a held Space clicks once. A Space click comes
// as the key goes up, before any event that follows.
TEST(FormKeyTest, HeldKeyPressesAButtonAtMostOnce) {
    KeyDialog dialog(nullptr);
    dialog.Show();
    dialog.Widget()->activateWindow();
    QApplication::processEvents(); // keys go to the focused control of the active window
    dialog.Box->OnClick = [&](TObject*) { dialog.pressed += "box"; };
    dialog.Other->SetFocus();
    EXPECT_EQ(dialog.Type(Qt::Key_Return, 100, true), "") << "flagged repeat";
    EXPECT_EQ(dialog.Type(Qt::Key_Return, 100), "") << "release and press at one time";
    EXPECT_EQ(dialog.Type(Qt::Key_Escape, 150, true), "") << "flagged repeat";
    EXPECT_EQ(dialog.Type(Qt::Key_Space, 300, false, 3), "other")
        << "Space held, no repeat flagged: one click, as the first release comes";
    EXPECT_EQ(dialog.Settle(200), "other") << "Space held: one click, and none later";
    dialog.Type(Qt::Key_Space, 300);
    EXPECT_EQ(dialog.WaitForPress(300), "") << "a repeat's press late for its release";
    dialog.Box->SetFocus();
    dialog.Type(Qt::Key_Space, 400, false, 3);
    EXPECT_EQ(dialog.WaitForPress(), "box") << "Space held on a check box: one toggle";
    // A Space click is neither lost nor put off by what comes right after it.
    dialog.Other->SetFocus();
    dialog.Type(Qt::Key_Space, 500);
    EXPECT_EQ(dialog.Touch(dialog.Cancel), "othercancel") << "a touch on another button";
    dialog.Other->SetFocus();
    dialog.Type(Qt::Key_Space, 600);
    dialog.Other->SetEnabled(false); // a poll tick
    EXPECT_EQ(dialog.WaitForPress(100), "other") << "disabled at once";
    dialog.Other->SetEnabled(true);
    dialog.Other->SetFocus();
    EXPECT_EQ(dialog.Type(Qt::Key_Return, 900), "other") << "a new press";
    // The key typed next goes to the form the click opened, which Enter then answers.
    TickingDialog opened(nullptr);
    opened.OnShow = [&](TObject*) { opened.ticks = 0; };
    opened.actAfter = 40;
    opened.action = [&] { opened.Close(); };
    dialog.Other->OnClick = [&](TObject*) {
        dialog.pressed += "open";
        dialog.pressed += opened.ShowModal() == mrOk ? "ok" : "cancel";
    };
    QTimer typist; // types Return where the focus is, once the opened form has it
    typist.setInterval(5);
    QObject::connect(&typist, &QTimer::timeout, [&] {
        QWidget* focus = QApplication::focusWidget();
        QWidget* modal = QApplication::activeModalWidget();
        if (focus != nullptr && (modal == nullptr || focus->window() == modal)) {
            typist.stop();
            KeyDialog::Stroke(focus, Qt::Key_Return, 1000);
        }
    });
    typist.start();
    dialog.Type(Qt::Key_Space, 950);
    EXPECT_EQ(dialog.WaitForPress(), "openok") << "a click that opens a form, then Enter";
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

// What the window manager is told each frame allows; a dialog belongs to its owner form.
TEST(FormGeometryTest, BorderStyleAndIconsChooseTheFrameTheWindowManagerOffers) {
    using namespace platform;
    struct Case {
        TFormBorderStyle style;
        TBorderIcons icons;
        unsigned frame;
    };
    const Case cases[] = {
        {bsNone, biSystemMenu | biMinimize, 0},
        {bsSingle, biSystemMenu | biMinimize, FrameTitle | FrameSystemMenu | FrameMinimize},
        {bsSizeable, biSystemMenu, FrameTitle | FrameResize | FrameSystemMenu},
        {bsSizeable, biMinimize | biMaximize, FrameTitle | FrameResize}, // boxes need the menu
        {bsDialog, 0, FrameTitle},
        {bsDialog, biSystemMenu | biMinimize | biMaximize, FrameTitle | FrameSystemMenu},
    };
    RecordingWindowServices recorder;
    const ScopedWindowServices scope(&recorder);
    TForm owner(nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(&c - cases));
        auto form = std::make_unique<TForm>(&owner);
        form->SetBorderStyle(c.style);
        form->SetBorderIcons(c.icons);
        form->Show();
        const auto frames = recorder.CallsOf(RecordingWindowServices::CallKind::SetFrame);
        ASSERT_FALSE(frames.empty());
        EXPECT_EQ(frames.back().Window, form->GetHandle());
        EXPECT_EQ(frames.back().Flags, c.frame);
        EXPECT_EQ(form->GetHandle()->transientParent(),
                  c.style == bsDialog ? owner.GetHandle() : nullptr);
    }
}

// A centred form is placed again at every show, wherever its owner has moved.
TEST(FormGeometryTest, CentredFormIsCentredAtEveryShow) {
    TForm owner(nullptr);
    owner.Show();
    auto dialog = std::make_unique<TForm>(&owner);
    dialog->SetBounds(0, 0, 100, 50);
    dialog->SetPosition(poOwnerFormCenter);
    for (const QPoint& at : {QPoint(10, 20), QPoint(300, 200)}) {
        owner.SetBounds(at.x(), at.y(), 400, 300);
        dialog->Show();
        EXPECT_EQ(dialog->GetLeft(), at.x() + 150);
        EXPECT_EQ(dialog->GetTop(), at.y() + 125);
        dialog->Hide();
    }
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

// Gives the form a menu bar of one item.
void GiveAMenu(TForm& form) {
    auto* menu = new TMainMenu(&form);
    auto* item = new TMenuItem(&form);
    item->SetCaption(" ");
    menu->GetItems()->Add(item);
    form.SetMenu(menu);
}

TEST(FormGeometryTest, MenuTakesRoomAboveTheClientArea) {
    TForm form(nullptr);
    GiveAMenu(form);
    form.SetClientWidth(672);
    form.SetClientHeight(505);
    EXPECT_EQ(form.GetClientHeight(), 505);
    EXPECT_GT(form.GetHeight(), 505);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetAlign(alClient);
    EXPECT_EQ(panel->GetHeight(), 505);
}

// The forms' fonts and sizes place a page, never the desktop's font: with a large application
// font the page starts at the same row of the window, and is as tall, as with a small one.
TEST(FormGeometryTest, PageStartsWhereItsFormSaysWhateverTheDesktopFont) {
    const QFont desktop = QApplication::font();
    auto pagePlace = [&](int pixels) {
        QFont font = desktop;
        font.setPixelSize(pixels);
        QApplication::setFont(font);
        TForm form(nullptr);
        GiveAMenu(form);
        form.SetClientHeight(505);
        auto* pages = new TPageControl(&form);
        pages->SetParent(&form);
        pages->SetBounds(0, 0, 672, 450);
        pages->SetAlign(alTop);
        pages->SetTabHeight(40);
        pages->SetTabWidth(74);
        auto* sheet = new TTabSheet(&form);
        sheet->SetPageControl(pages);
        sheet->SetCaption("Contact");
        form.Show();
        QApplication::processEvents();
        const QWidget* page = sheet->Widget();
        return std::pair(page->mapTo(form.Widget(), QPoint(0, 0)).y(), page->height());
    };
    const auto small = pagePlace(8);
    const auto large = pagePlace(30);
    QApplication::setFont(desktop);
    EXPECT_EQ(large, small) << "row in the window, height";
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
        EXPECT_EQ(recorder.Calls().size(), 4u) << "the frame given at Show, then three calls";
    }
    EXPECT_NE(&platform::WindowServicesInstance(), &recorder) << "the scope restores the desktop";
}

TEST(WindowServicesTest, DesktopServicesKeepAWindowOnTopAndMeasureTheScreen) {
    platform::DesktopWindowServices desktop;
    TForm form(nullptr);
    form.Show();
    desktop.MakeTopmost(form.GetHandle(), platform::WindowPosNoMove | platform::WindowPosNoSize);
    EXPECT_TRUE(form.GetHandle()->flags() & Qt::WindowStaysOnTopHint);

    // A minimised window comes back only when it is modal: a modal one out of view would leave
    // its program waiting on it.
    for (const Qt::WindowModality modality : {Qt::NonModal, Qt::ApplicationModal}) {
        form.GetHandle()->setModality(modality);
        form.GetHandle()->setWindowStates(Qt::WindowMinimized);
        desktop.MakeTopmost(form.GetHandle(),
                            platform::WindowPosNoMove | platform::WindowPosNoSize);
        EXPECT_EQ(form.GetHandle()->windowStates() == Qt::WindowMinimized,
                  modality == Qt::NonModal);
    }
    const QSize screen = QGuiApplication::primaryScreen()->size();
    EXPECT_EQ(desktop.PrimaryScreenSize().Width, screen.width());
    EXPECT_EQ(desktop.PrimaryScreenSize().Height, screen.height());
    desktop.MakeTopmost(nullptr, 0); // nothing to do, nothing breaks
    desktop.HideTaskbarButton(form.GetHandle());
}

} // namespace
