// The real programs on a virtual X display with a window manager (Xvfb with Openbox, xfwm4 or
// metacity), checked through what the window manager and X11 report: who has the focus, which
// windows stay above the others, which actions a window allows, whether it is in view, its
// taskbar state and its place.
#include "tests/control/support/DriverProcess.h"
#include "tests/control/support/VirtualDisplay.h"

#include <QPoint>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <sys/prctl.h>
#include <vector>

namespace {

bool Installed(const char* program) {
    return !QStandardPaths::findExecutable(program).isEmpty();
}

// Waits for something that must happen; only waits that show that something does not happen
// are shorter.
constexpr int kMustMs = 15000;

// What a child program's output channels do.
enum class Output {
    Errors,  // its errors in the test's log, its output dropped (the programs under test)
    Nothing, // both dropped (the window manager's warnings about a bare session)
    Read,    // its output read by the test, its errors dropped
};

// Starts a child program with the given environment.
std::unique_ptr<QProcess> StartProgram(const QString& program, const QStringList& args,
                                       const QProcessEnvironment& env,
                                       Output output = Output::Errors) {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(env);
    if (output != Output::Read) {
        process->setStandardOutputFile(QProcess::nullDevice());
    }
    if (output == Output::Errors) {
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    } else {
        process->setStandardErrorFile(QProcess::nullDevice());
    }
    // A test that is killed takes its display, window manager and programs with it.
    process->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process->start(program, args);
    return process;
}

void Stop(std::unique_ptr<QProcess>& process) {
    if (process && process->state() != QProcess::NotRunning) {
        process->terminate();
        if (!process->waitForFinished(3000)) {
            process->kill();
            process->waitForFinished(3000);
        }
    }
}

struct WindowManager {
    const char* name;
    const char* program;
    QStringList args;
    bool bus; // reads its settings over a session bus (xfwm4 from xfconfd)
};

void PrintTo(const WindowManager& row, std::ostream* out) {
    *out << row.name;
}

// A virtual display of its own with a window manager, and an Xlib connection. The window
// manager keeps its settings, and its session bus if it needs one, in a directory of the test.
class Desktop {
public:
    bool Start(const WindowManager& manager) {
        itsServer = std::make_unique<VirtualDisplay>();
        itsName = QString::fromStdString(itsServer->Name());
        if (itsName.isEmpty() ||
            (itsDisplay = XOpenDisplay(itsName.toLatin1().constData())) == nullptr) {
            return false;
        }
        QProcessEnvironment env = Environment();
        env.insert("XDG_CONFIG_HOME", itsHome.path());
        env.insert("XDG_CACHE_HOME", itsHome.path());
        env.insert("NO_AT_BRIDGE", "1");
        if (manager.bus && !StartBus(env)) {
            return false;
        }
        itsManager = StartProgram(manager.program, manager.args, env, Output::Nothing);
        return WaitUntil([&] { return Property(Root(), "_NET_SUPPORTING_WM_CHECK").size() == 1; });
    }

    ~Desktop() {
        Stop(itsManager);
        Stop(itsBus);
        if (itsDisplay != nullptr) {
            XCloseDisplay(itsDisplay);
        }
    }

    // The test's environment on this display, for the programs under test.
    QProcessEnvironment Environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", itsName);
        env.insert("QT_QPA_PLATFORM", "xcb");
        return env;
    }
    std::unique_ptr<QProcess> Run(const QString& program) const {
        return StartProgram(program, {}, Environment());
    }

    Display* X() const { return itsDisplay; }
    ::Window Root() const { return DefaultRootWindow(itsDisplay); }
    Atom A(const char* name) const { return XInternAtom(itsDisplay, name, False); }

    // A 32-bit list property (atoms, windows, cardinals); empty when absent.
    std::vector<unsigned long> Property(::Window window, const char* name) const {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        std::vector<unsigned long> values;
        if (XGetWindowProperty(itsDisplay, window, A(name), 0, 1024, False, AnyPropertyType, &type,
                               &format, &count, &after, &data) == Success &&
            data != nullptr && format == 32) {
            const auto* longs = reinterpret_cast<const unsigned long*>(data);
            values.assign(longs, longs + count);
        }
        if (data != nullptr) {
            XFree(data);
        }
        return values;
    }

    bool Has(::Window window, const char* property, const char* atom) const {
        for (unsigned long value : Property(window, property)) {
            if (value == A(atom)) {
                return true;
            }
        }
        return false;
    }

    // The managed, viewable window titled exactly so; 0 when there is none.
    ::Window Find(const std::string& title) const {
        for (unsigned long window : Property(Root(), "_NET_CLIENT_LIST")) {
            char* name = nullptr;
            const bool named = XFetchName(itsDisplay, window, &name) != 0 && name != nullptr;
            const bool match = named && title == name;
            if (name != nullptr) {
                XFree(name);
            }
            if (match && Normal(window)) {
                return window;
            }
        }
        return 0;
    }

    // WM_STATE is NormalState: mapped and in view.
    bool Normal(::Window window) const {
        const auto state = Property(window, "WM_STATE");
        return !state.empty() && state[0] == NormalState;
    }
    bool Iconic(::Window window) const {
        const auto state = Property(window, "WM_STATE");
        return !state.empty() && state[0] == IconicState;
    }

    ::Window Active() const {
        const auto active = Property(Root(), "_NET_ACTIVE_WINDOW");
        return active.empty() ? 0 : active[0];
    }
    // The window that gets the keys (xfwm4 at times reports no active window while one has
    // them).
    ::Window Focus() const {
        ::Window focus = 0;
        int revert = 0;
        XGetInputFocus(itsDisplay, &focus, &revert);
        return focus;
    }

    // The client area's centre in root coordinates.
    QPoint Centre(::Window window) const {
        XWindowAttributes attributes{};
        XGetWindowAttributes(itsDisplay, window, &attributes);
        int x = 0;
        int y = 0;
        ::Window child = 0;
        XTranslateCoordinates(itsDisplay, window, Root(), 0, 0, &x, &y, &child);
        return {x + attributes.width / 2, y + attributes.height / 2};
    }

    // A message to the window manager about a client window (EWMH and ICCCM requests).
    void Ask(::Window window, const char* message, long l0 = 0, long l1 = 0) const {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = A(message);
        event.xclient.format = 32;
        event.xclient.data.l[0] = l0;
        event.xclient.data.l[1] = l1;
        XSendEvent(itsDisplay, Root(), False, SubstructureRedirectMask | SubstructureNotifyMask,
                   &event);
        XFlush(itsDisplay);
    }
    void CloseRequest(::Window window) const { Ask(window, "_NET_CLOSE_WINDOW", CurrentTime, 2); }
    void Iconify(::Window window) const { Ask(window, "WM_CHANGE_STATE", IconicState); }

    // Keys and clicks as xdotool types them into a window.
    void Key(::Window window, const char* key) const {
        Xdotool({"key", "--window", QString::number(window), key});
    }
    // A key as the user types it: to the window that has the focus.
    void Type(const char* key) const { Xdotool({"key", key}); }
    void Click(::Window window, int x, int y) const {
        Xdotool({"mousemove", "--window", QString::number(window), QString::number(x),
                 QString::number(y), "click", "1"});
    }
    // Lets go of keys that the server may still hold down: xdotool sends a key's release to the
    // window that had the focus when it typed the press, and when that window closed on the press
    // the server never sees the release and goes on repeating the key.
    void ReleaseKeys() const { Xdotool({"keyup", "Return", "space", "Tab"}); }
    void Move(::Window window, int x, int y) const {
        Xdotool({"windowmove", QString::number(window), QString::number(x), QString::number(y)});
    }

    // Waits (up to timeoutMs) until condition() holds, asking the server every 20 ms.
    static bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = kMustMs) {
        return WaitFor(
            [&] {
                if (condition()) {
                    return true;
                }
                QThread::msleep(20);
                return false;
            },
            timeoutMs);
    }

private:
    // A private session bus; its address goes into env.
    bool StartBus(QProcessEnvironment& env) {
        itsBus = StartProgram("dbus-daemon", {"--session", "--nofork", "--print-address=1"}, env,
                              Output::Read);
        while (itsBus->waitForReadyRead(kMustMs) && !itsBus->canReadLine()) {
        }
        const QString address = QString::fromLatin1(itsBus->readLine().trimmed());
        env.insert("DBUS_SESSION_BUS_ADDRESS", address);
        return !address.isEmpty();
    }

    void Xdotool(const QStringList& args) const {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", itsName);
        process.setProcessEnvironment(env);
        process.start("xdotool", args);
        process.waitForFinished(5000);
    }

    QString itsName;
    QTemporaryDir itsHome;
    std::unique_ptr<VirtualDisplay> itsServer;
    std::unique_ptr<QProcess> itsBus;
    std::unique_ptr<QProcess> itsManager;
    Display* itsDisplay = nullptr;
};

// The control panel beside the scripted driver on a desktop of its own, under each window
// manager.
class DesktopTest : public testing::TestWithParam<WindowManager> {
protected:
    void SetUp() override {
        std::vector<const char*> needed{"Xvfb", GetParam().program, "xdotool"};
        if (GetParam().bus) {
            needed.push_back("dbus-daemon");
        }
        for (const char* program : needed) {
            if (!Installed(program)) {
                SKIP_FOR_WANT_OF(program);
            }
        }
        ASSERT_TRUE(desktop.Start(GetParam())) << "no virtual display with a window manager";
        ASSERT_TRUE(driver.Start());
    }

    void TearDown() override {
        Stop(panel);
        Stop(rightClick);
    }

    // Starts the control panel and waits for its main window and for its first poll of the
    // store, where it announces its first write: only then is it the group's one slave (the
    // driver it starts beside it joins for a moment and leaves, as another one is running).
    void StartPanel() {
        Stop(panel);
        const std::string before = driver.Command("changes Status LockCalibrate");
        panel = desktop.Run(QUILBEX_CONTROL_PATH);
        ASSERT_TRUE(Desktop::WaitUntil([&] { return (mainWindow = desktop.Find(kCaption)) != 0; }));
        ASSERT_TRUE(Desktop::WaitUntil([&] {
            return driver.Command("changes Status LockCalibrate") != before &&
                   driver.Command("slaves") == "value 1";
        }));
    }

    // A close request on the main window; returns the prompt titled so, once it has the focus
    // (a user's click gives it).
    ::Window OpenPrompt(const char* title) {
        desktop.CloseRequest(mainWindow);
        ::Window prompt = 0;
        if (!Desktop::WaitUntil([&] { return (prompt = desktop.Find(title)) != 0; })) {
            return 0;
        }
        Desktop::WaitUntil([&] {
            desktop.Ask(prompt, "_NET_ACTIVE_WINDOW", 2);
            return desktop.Active() == prompt;
        });
        return prompt;
    }

    // Opens the Exit prompt, moves the focus from YES to NO when asked and types the key; the
    // prompt closes on it.
    void Answer(bool focusOnNo, const char* key) {
        const ::Window prompt = OpenPrompt("Exit");
        ASSERT_NE(prompt, 0u);
        if (focusOnNo) {
            desktop.Key(prompt, "Tab");
            PumpEvents(200);
        }
        desktop.Key(prompt, key);
        EXPECT_TRUE(Desktop::WaitUntil([&] { return desktop.Find("Exit") == 0; }));
    }

    // A confirmed exit ends the panel on the second tick after it; one that was not confirmed
    // leaves it running.
    void ExpectPanelEnds(bool ends) {
        EXPECT_EQ(panel->waitForFinished(ends ? kMustMs : 3000), ends)
            << (ends ? "the panel goes on running" : "the panel ended");
    }

    // A window of another program, mapped at the place given and made active as a pager asks:
    // a user's choice.
    ::Window ActiveOtherClient(int x, int y, int width, int height) {
        Display* display = desktop.X();
        const ::Window other =
            XCreateSimpleWindow(display, desktop.Root(), x, y, width, height, 0, 0, 0xffffff);
        XStoreName(display, other, "other client");
        XMapWindow(display, other);
        XFlush(display);
        Desktop::WaitUntil([&] {
            desktop.Ask(other, "_NET_ACTIVE_WINDOW", 2);
            return desktop.Active() == other;
        });
        return other;
    }

    // Waits until the window carries the above state on the server.
    bool StaysAbove(::Window window) {
        return Desktop::WaitUntil(
            [&] { return desktop.Has(window, "_NET_WM_STATE", "_NET_WM_STATE_ABOVE"); });
    }

    // Starts the Right Click program, enabled, and waits until its window is shown with the above
    // state; 0 when it never is.
    ::Window ShowRightClickWindow() {
        if (!driver.Set("Output", "RC_Available", "1") || !driver.Set("Output", "RC_Enabled", "1"))
            return 0;
        rightClick = desktop.Run(QUILBEX_RIGHTCLICK_PATH);
        ::Window window = 0;
        if (!Desktop::WaitUntil([&] { return (window = desktop.Find("Right Click")); }))
            return 0;
        return StaysAbove(window) ? window : 0;
    }

    static constexpr const char* kCaption = "Touchscreen Control Panel";
    Desktop desktop;
    DriverProcess driver;
    std::unique_ptr<QProcess> panel;
    std::unique_ptr<QProcess> rightClick;
    ::Window mainWindow = 0;
};

// The panel and the Right Click window keep themselves above the others, and so keep their
// place every tick; a window manager that activates a window raising itself must not move the
// focus to them.
TEST_P(DesktopTest, AnotherClientKeepsTheFocusWhileThePanelAndTheRightClickWindowRun) {
    ASSERT_TRUE(driver.Set("Output", "RC_Available", "1"));
    ASSERT_TRUE(driver.Set("Output", "RC_Enabled", "1"));
    StartPanel();
    rightClick = desktop.Run(QUILBEX_RIGHTCLICK_PATH);
    ::Window rightClickWindow = 0;
    ASSERT_TRUE(
        Desktop::WaitUntil([&] { return (rightClickWindow = desktop.Find("Right Click")); }));
    EXPECT_TRUE(StaysAbove(mainWindow));
    EXPECT_TRUE(StaysAbove(rightClickWindow));

    const ::Window own = ActiveOtherClient(700, 500, 200, 150);
    ASSERT_EQ(desktop.Active(), own);
    EXPECT_FALSE(Desktop::WaitUntil([&] { return desktop.Active() != own; }, 5000))
        << "the panel or the Right Click window took the focus";
    XDestroyWindow(desktop.X(), own);
}

// A calibration that the driver's lock starts behind the prompts of a close request: once both
// are answered, the calibration screen on top takes the focus from the main form behind it, so
// Escape typed by the user cancels the calibration.
TEST_P(DesktopTest, CalibrationScreenGetsTheKeysOnceThePromptsOverItAreAnswered) {
    StartPanel();
    ASSERT_TRUE(driver.Set("Status", "Dirty", "1"));
    ASSERT_NE(OpenPrompt("Save"), 0u);
    const std::string started = driver.Command("changes Calib Start");
    ASSERT_TRUE(driver.Set("Status", "LockCalibrate", "1"));
    ASSERT_TRUE(
        Desktop::WaitUntil([&] { return driver.Command("changes Calib Start") != started; }));
    for (const char* title : {"Save", "Exit"}) {
        ::Window prompt = 0;
        ASSERT_TRUE(Desktop::WaitUntil([&] { return (prompt = desktop.Find(title)) != 0; }))
            << title;
        desktop.CloseRequest(prompt); // answered NO
    }
    ::Window screen = 0;
    ASSERT_TRUE(
        Desktop::WaitUntil([&] { return (screen = desktop.Find("KXBW3_CalibScreen")) != 0; }));
    EXPECT_TRUE(Desktop::WaitUntil([&] { return desktop.Focus() == screen; }))
        << "the focus stays on the window behind the calibration screen";
    const std::string cancelled = driver.Command("changes Calib Cancel");
    desktop.Type("Escape");
    EXPECT_TRUE(
        Desktop::WaitUntil([&] { return driver.Command("changes Calib Cancel") != cancelled; }));
    EXPECT_TRUE(Desktop::WaitUntil([&] { return desktop.Find("KXBW3_CalibScreen") == 0; }));
    ExpectPanelEnds(false);
}
TEST_P(DesktopTest, PromptsOfferOnlyAMovableFrameAndComeBackWhenIconified) {
    StartPanel();
    ASSERT_TRUE(driver.Set("Status", "Dirty", "1"));
    ASSERT_NE(OpenPrompt("Save"), 0u);
    for (const char* title : {"Save", "Exit"}) {
        SCOPED_TRACE(title);
        ::Window prompt = 0;
        ASSERT_TRUE(Desktop::WaitUntil([&] { return (prompt = desktop.Find(title)) != 0; }));
        EXPECT_EQ(desktop.Property(prompt, "WM_TRANSIENT_FOR"),
                  std::vector<unsigned long>{mainWindow});
        EXPECT_TRUE(desktop.Has(prompt, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DIALOG"));
        // Motif hints: functions and decorations of a titled, movable frame and nothing else.
        const auto motif = desktop.Property(prompt, "_MOTIF_WM_HINTS");
        ASSERT_GE(motif.size(), 3u);
        EXPECT_EQ(motif[0], 3u);
        EXPECT_EQ(motif[1], 4u) << "move only: no resize, minimise, maximise or close";
        EXPECT_EQ(motif[2], 10u) << "border and title only";
        for (const char* action : {"_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_RESIZE"}) {
            EXPECT_FALSE(desktop.Has(prompt, "_NET_WM_ALLOWED_ACTIONS", action)) << action;
        }
        // A window manager may offer minimising whatever the hints say (Openbox does);
        // iconified that way, the prompt is back in view on one of the panel's next ticks.
        if (desktop.Has(prompt, "_NET_WM_ALLOWED_ACTIONS", "_NET_WM_ACTION_MINIMIZE")) {
            EXPECT_TRUE(Desktop::WaitUntil([&] {
                desktop.Iconify(prompt);
                return desktop.Iconic(prompt);
            }));
            EXPECT_TRUE(Desktop::WaitUntil([&] { return desktop.Normal(prompt); }));
        }
        desktop.CloseRequest(prompt); // answered NO
    }
    EXPECT_TRUE(Desktop::WaitUntil([&] { return desktop.Find("Exit") == 0; }));
    EXPECT_EQ(driver.Acted("Save"), 0);
    ExpectPanelEnds(false); // NO keeps the panel running
}

// A focused button takes Enter and Space; the default button (NO) takes Enter only while no
// other button has the focus.
TEST_P(DesktopTest, EnterAndSpaceAnswerThePromptButtonThatHasTheFocus) {
    struct Case {
        bool focusOnNo; // Tab moves the focus from YES (tab order 0) to NO
        const char* key;
        bool exits;
    };
    const Case cases[] = {
        {false, "Return", true},
        {false, "space", true},
        {true, "Return", false},
        {true, "space", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.focusOnNo ? "NO" : "YES") + " focused, " + c.key);
        // A fresh panel each time: a prompt keeps the focus where its last answer left it.
        desktop.ReleaseKeys();
        StartPanel();
        Answer(c.focusOnNo, c.key);
        ExpectPanelEnds(c.exits);
    }
    // A Return that closed one prompt is still held down by the server and repeats into the
    // next prompt, which must wait for an answer all the same.
    desktop.ReleaseKeys();
    StartPanel();
    Answer(true, "Return");
    ASSERT_NE(OpenPrompt("Exit"), 0u);
    EXPECT_FALSE(Desktop::WaitUntil([&] { return desktop.Find("Exit") == 0; }, 1500));
}

TEST_P(DesktopTest, VersionDialogIsCentredOnTheMainFormAtEveryShow) {
    StartPanel();
    desktop.Click(mainWindow, 628, 39); // the "Help" tab
    for (const QPoint& to : {QPoint(30, 30), QPoint(300, 200)}) {
        SCOPED_TRACE(to.x());
        desktop.Move(mainWindow, to.x(), to.y());
        // The frame goes there; its left border (xfwm4's is 5 pixels) shifts the client.
        ASSERT_TRUE(Desktop::WaitUntil([&] {
            const int shift = desktop.Centre(mainWindow).x() - (to.x() + 336);
            return shift >= 0 && shift <= 8;
        }));
        desktop.Click(mainWindow, 465, 182); // "Software Version"
        ::Window dialog = 0;
        ASSERT_TRUE(
            Desktop::WaitUntil([&] { return (dialog = desktop.Find("Software Version")); }));
        const QPoint want = desktop.Centre(mainWindow);
        const QPoint got = desktop.Centre(dialog);
        EXPECT_LE(std::abs(got.x() - want.x()), 2);
        EXPECT_LE(std::abs(got.y() - want.y()), 2);
        desktop.CloseRequest(dialog);
        ASSERT_TRUE(Desktop::WaitUntil([&] { return desktop.Find("Software Version") == 0; }));
    }
}

TEST_P(DesktopTest, RightClickWindowStaysOffTheTaskbarAndAboveOnEveryShow) {
    ASSERT_TRUE(driver.Set("Output", "RC_Available", "1"));
    rightClick = desktop.Run(QUILBEX_RIGHTCLICK_PATH);
    ASSERT_TRUE(Desktop::WaitUntil([&] { return driver.Command("slaves") == "value 1"; }));
    for (int show = 1; show <= 3; ++show) {
        SCOPED_TRACE(show);
        ASSERT_TRUE(driver.Set("Output", "RC_Enabled", "1"));
        ::Window window = 0;
        ASSERT_TRUE(Desktop::WaitUntil([&] { return (window = desktop.Find("Right Click")); }));
        EXPECT_TRUE(desktop.Has(window, "_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR"));
        EXPECT_TRUE(StaysAbove(window));
        ASSERT_TRUE(driver.Set("Output", "RC_Enabled", "0"));
        ASSERT_TRUE(Desktop::WaitUntil([&] { return desktop.Find("Right Click") == 0; }));
    }
}

// A window that takes the above state after the Right Click window covers it; the Right Click
// window comes back over it on one of its next ticks and leaves the focus where it was.
TEST_P(DesktopTest, RightClickWindowComesBackAboveALaterTopmostWindowWithoutTheFocus) {
    const ::Window window = ShowRightClickWindow();
    ASSERT_NE(window, 0U) << "no Right Click window with the above state";

    Display* x = desktop.X();
    const ::Window other = XCreateSimpleWindow(x, desktop.Root(), 0, 0, 400, 300, 0, 0, 0xffffff);
    XStoreName(x, other, "later topmost");
    XSizeHints place{}; // where it is asked to be: over the Right Click window
    place.flags = USPosition | USSize;
    place.width = 400;
    place.height = 300;
    XSetWMNormalHints(x, other, &place);
    const Atom above = desktop.A("_NET_WM_STATE_ABOVE");
    XChangeProperty(x, other, desktop.A("_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&above), 1);
    XMapWindow(x, other);
    XFlush(x);
    ASSERT_TRUE(Desktop::WaitUntil([&] {
        desktop.Ask(other, "_NET_ACTIVE_WINDOW", 2);
        return desktop.Active() == other;
    }));
    const auto overOther = [&] {
        const auto stacking = desktop.Property(desktop.Root(), "_NET_CLIENT_LIST_STACKING");
        const auto at = [&](::Window w) { return std::find(stacking.begin(), stacking.end(), w); };
        return at(other) < at(window) && at(window) != stacking.end();
    };
    EXPECT_TRUE(Desktop::WaitUntil(overOther, 3000)) << "the later topmost window stays over it";
    EXPECT_FALSE(Desktop::WaitUntil([&] { return desktop.Active() != other; }, 2500))
        << "the Right Click window took the focus";
    EXPECT_TRUE(overOther());
    XDestroyWindow(x, other);
}

// The window manager may minimise the Right Click window whatever its frame offers; it has no
// taskbar entry to bring it back by, so it comes back by itself on one of its next ticks and
// leaves the focus with the program that has it.
TEST_P(DesktopTest, MinimisedRightClickWindowComesBackWithoutTheFocus) {
    const ::Window window = ShowRightClickWindow();
    ASSERT_NE(window, 0U) << "no Right Click window with the above state";
    const ::Window other = ActiveOtherClient(700, 500, 200, 150);
    ASSERT_EQ(desktop.Active(), other);
    ASSERT_TRUE(Desktop::WaitUntil([&] {
        desktop.Iconify(window);
        return desktop.Iconic(window);
    }));
    EXPECT_TRUE(Desktop::WaitUntil([&] { return desktop.Normal(window); }))
        << "the Right Click window stays minimised";
    EXPECT_FALSE(Desktop::WaitUntil([&] { return desktop.Active() != other; }, 2500))
        << "the Right Click window took the focus";
    XDestroyWindow(desktop.X(), other);
}

INSTANTIATE_TEST_SUITE_P(
    WindowManagers, DesktopTest,
    testing::Values(WindowManager{"Openbox", "openbox", {}, false},
                    WindowManager{"Xfwm4", "xfwm4", {"--compositor=off"}, true},
                    WindowManager{"Metacity", "metacity", {}, false}),
    [](const testing::TestParamInfo<WindowManager>& row) { return std::string(row.param.name); });

} // namespace
