// The real programs on a virtual X display with a window manager (Xvfb and Openbox), checked
// through what the window manager and X11 report: who has the focus, which actions a window
// allows, whether it is in view, its taskbar state and its place.
#include "tests/control/support/DriverProcess.h"
#include "tests/control/support/VirtualDisplay.h"

#include <QPoint>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

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

// Starts a child program with the test's environment on the given display.
std::unique_ptr<QProcess> StartProgram(const QString& program, const QStringList& args,
                                       const QString& display) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    process->setProcessEnvironment(env);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->setStandardOutputFile(QProcess::nullDevice());
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

// A virtual display of its own with Openbox managing it, and an Xlib connection.
class Desktop {
public:
    bool Start() {
        itsServer = std::make_unique<VirtualDisplay>();
        itsName = QString::fromStdString(itsServer->Name());
        if (itsName.isEmpty() ||
            (itsDisplay = XOpenDisplay(itsName.toLatin1().constData())) == nullptr) {
            return false;
        }
        itsManager = StartProgram("openbox", {}, itsName);
        return WaitUntil([&] { return Property(Root(), "_NET_SUPPORTING_WM_CHECK").size() == 1; });
    }

    ~Desktop() {
        Stop(itsManager);
        if (itsDisplay != nullptr) {
            XCloseDisplay(itsDisplay);
        }
    }

    const QString& Name() const { return itsName; }
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

    // Waits (up to timeoutMs) until condition() holds.
    static bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 8000) {
        return WaitFor(condition, timeoutMs);
    }

private:
    void Xdotool(const QStringList& args) const {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", itsName);
        process.setProcessEnvironment(env);
        process.start("xdotool", args);
        process.waitForFinished(5000);
    }

    QString itsName;
    std::unique_ptr<VirtualDisplay> itsServer;
    std::unique_ptr<QProcess> itsManager;
    Display* itsDisplay = nullptr;
};

// The control panel beside the scripted driver on a desktop of its own.
class DesktopTest : public testing::Test {
protected:
    void SetUp() override {
        for (const char* program : {"Xvfb", "openbox", "xdotool"}) {
            if (!Installed(program)) {
                GTEST_SKIP() << program << " is not installed (scripts/install-deps installs it)";
            }
        }
        ASSERT_TRUE(desktop.Start()) << "no virtual display with a window manager";
        ASSERT_TRUE(driver.Start());
    }

    void TearDown() override {
        Stop(panel);
        Stop(rightClick);
    }

    // Starts the control panel and waits for its main window and its first tick (it joins
    // the store as the one slave).
    void StartPanel() {
        Stop(panel);
        panel = StartProgram(QUILBEX_CONTROL_PATH, {}, desktop.Name());
        ASSERT_TRUE(Desktop::WaitUntil([&] { return (mainWindow = desktop.Find(kCaption)) != 0; }));
        ASSERT_TRUE(Desktop::WaitUntil([&] { return driver.Command("slaves") == "value 1"; }));
    }

    // A close request on the main window; returns the prompt titled so, once it has the focus
    // (a user's click gives it).
    ::Window OpenPrompt(const char* title) {
        desktop.CloseRequest(mainWindow);
        ::Window prompt = 0;
        Desktop::WaitUntil([&] { return (prompt = desktop.Find(title)) != 0; });
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
        EXPECT_TRUE(Desktop::WaitUntil([&] { return desktop.Find("Exit") == 0; }, 2000));
    }

    // A confirmed exit ends the panel on the second tick after it.
    bool PanelEnds() { return panel->waitForFinished(3000); }

    static constexpr const char* kCaption = "Touchscreen Control Panel";
    Desktop desktop;
    DriverProcess driver;
    std::unique_ptr<QProcess> panel;
    std::unique_ptr<QProcess> rightClick;
    ::Window mainWindow = 0;
};

TEST_F(DesktopTest, AnotherClientKeepsTheFocusWhileThePanelRuns) {
    StartPanel();
    Display* x = desktop.X();
    const ::Window own = XCreateSimpleWindow(x, desktop.Root(), 700, 500, 200, 150, 0, 0, 0xffffff);
    XStoreName(x, own, "other client");
    XMapWindow(x, own);
    XFlush(x);
    ASSERT_TRUE(Desktop::WaitUntil([&] {
        desktop.Ask(own, "_NET_ACTIVE_WINDOW", 2); // as a pager asks: a user's choice
        return desktop.Active() == own;
    }));
    EXPECT_FALSE(Desktop::WaitUntil([&] { return desktop.Active() != own; }, 5000))
        << "the panel took the focus";
    XDestroyWindow(x, own);
}

TEST_F(DesktopTest, PromptsOfferOnlyAMovableFrameAndComeBackWhenIconified) {
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
        // Openbox offers minimising whatever the hints say; iconified anyway, the prompt is
        // back in view within two ticks.
        EXPECT_TRUE(Desktop::WaitUntil(
            [&] {
                desktop.Iconify(prompt);
                return desktop.Iconic(prompt);
            },
            2000));
        EXPECT_TRUE(Desktop::WaitUntil([&] { return desktop.Normal(prompt); }, 2500));
        desktop.CloseRequest(prompt); // answered NO
    }
    EXPECT_TRUE(Desktop::WaitUntil([&] { return desktop.Find("Exit") == 0; }));
    EXPECT_EQ(driver.Acted("Save"), 0);
    EXPECT_FALSE(PanelEnds()) << "NO keeps the panel running";
}

// A focused button takes Enter and Space; the default button (NO) takes Enter only while no
// other button has the focus.
TEST_F(DesktopTest, EnterAndSpaceAnswerThePromptButtonThatHasTheFocus) {
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
        EXPECT_EQ(PanelEnds(), c.exits);
    }
    // A Return that closed one prompt is still held down by the server and repeats into the
    // next prompt, which must wait for an answer all the same.
    desktop.ReleaseKeys();
    StartPanel();
    Answer(true, "Return");
    ASSERT_NE(OpenPrompt("Exit"), 0u);
    EXPECT_FALSE(Desktop::WaitUntil([&] { return desktop.Find("Exit") == 0; }, 1500));
}

TEST_F(DesktopTest, VersionDialogIsCentredOnTheMainFormAtEveryShow) {
    StartPanel();
    desktop.Click(mainWindow, 628, 39); // the "Help" tab
    for (const QPoint& to : {QPoint(30, 30), QPoint(300, 200)}) {
        SCOPED_TRACE(to.x());
        desktop.Move(mainWindow, to.x(), to.y());
        ASSERT_TRUE(Desktop::WaitUntil([&] {
            const QPoint centre = desktop.Centre(mainWindow);
            return std::abs(centre.x() - (to.x() + 336)) <= 2;
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

TEST_F(DesktopTest, RightClickWindowStaysOffTheTaskbarOnEveryShow) {
    ASSERT_TRUE(driver.Set("Output", "RC_Available", "1"));
    rightClick = StartProgram(QUILBEX_RIGHTCLICK_PATH, {}, desktop.Name());
    ASSERT_TRUE(Desktop::WaitUntil([&] { return driver.Command("slaves") == "value 1"; }));
    for (int show = 1; show <= 3; ++show) {
        SCOPED_TRACE(show);
        ASSERT_TRUE(driver.Set("Output", "RC_Enabled", "1"));
        ::Window window = 0;
        ASSERT_TRUE(Desktop::WaitUntil([&] { return (window = desktop.Find("Right Click")); }));
        EXPECT_TRUE(desktop.Has(window, "_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR"));
        ASSERT_TRUE(driver.Set("Output", "RC_Enabled", "0"));
        ASSERT_TRUE(Desktop::WaitUntil([&] { return desktop.Find("Right Click") == 0; }));
    }
}

} // namespace
