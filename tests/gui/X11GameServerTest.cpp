#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <cstring>
#include <memory>
#include <vector>

#include "Program.h"
#include "backends/linux/X11ProcessWindows.h"
#include "backends/linux/XrandrDisplayGamma.h"
#include "gameserver/ColourManager.h"
#include "gameserver/GammaRamp.h"
#include "support/FakeFileDialog.h"
#include "support/FakeServices.h"
#include "support/FakeShellServices.h"
#include "support/WaitFor.h"

// After Qt: Xlib's macros would break Qt's headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

using namespace squadlink;
using squadlink::test::waitFor;

namespace {

int ignoreXErrors(Display*, XErrorEvent*) {
    return 0;
}

// These tests change the display's ramp and windows: only on the virtual X server the test
// run starts for them (QT_QPA_PLATFORM=xcb under xvfb-run), never on a desktop's own display.
class OnXvfb : public ::testing::Test {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) {
            GTEST_SKIP() << "needs the virtual X server run";
        }
        m_display = XOpenDisplay(nullptr);
        ASSERT_NE(m_display, nullptr);
        XSetErrorHandler(ignoreXErrors);
        XRRScreenResources* resources =
            XRRGetScreenResourcesCurrent(m_display, DefaultRootWindow(m_display));
        ASSERT_NE(resources, nullptr);
        ASSERT_GE(resources->ncrtc, 1) << "the X server has no CRTC";
        m_crtc = resources->crtcs[0];
        XRRFreeScreenResources(resources);
    }
    void TearDown() override {
        if (m_display != nullptr) {
            XCloseDisplay(m_display);
        }
    }

    // The CRTC's ramp as three 256-entry tables in one GammaTable.
    GammaTable crtcRamp() const {
        GammaTable table{};
        XRRCrtcGamma* gamma = XRRGetCrtcGamma(m_display, m_crtc);
        EXPECT_EQ(gamma->size, 256);
        for (int i = 0; i < 256; ++i) {
            table[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(gamma->red[i]);
            table[static_cast<std::size_t>(256 + i)] = static_cast<std::int16_t>(gamma->green[i]);
            table[static_cast<std::size_t>(512 + i)] = static_cast<std::int16_t>(gamma->blue[i]);
        }
        XRRFreeGamma(gamma);
        return table;
    }
    // A ramp unlike the identity in each colour, so that a mixed-up channel shows.
    void setDistinctRamp() const {
        XRRCrtcGamma* gamma = XRRAllocGamma(256);
        for (int i = 0; i < 256; ++i) {
            gamma->red[i] = static_cast<unsigned short>(257 * i);
            gamma->green[i] = static_cast<unsigned short>(200 * i);
            gamma->blue[i] = static_cast<unsigned short>(i * i);
        }
        XRRSetCrtcGamma(m_display, m_crtc, gamma);
        XRRFreeGamma(gamma);
        XSync(m_display, False);
    }

    Display* m_display = nullptr;
    RRCrtc m_crtc = 0;
};

// A process named as the native game, and a window that says it belongs to it.
class GameProcess {
public:
    GameProcess() {
        const QString copy = m_folder.path() + QStringLiteral("/hl_linux");
        QFile::copy(QStringLiteral("/bin/sleep"), copy);
        m_process.start(copy, {QStringLiteral("60")});
        m_process.waitForStarted(5000);
    }
    ~GameProcess() {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    qint64 id() const { return m_process.processId(); }

private:
    QTemporaryDir m_folder;
    QProcess m_process;
};

::Window createWindow(Display* display, qint64 processId, const char* title) {
    const ::Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 10, 10, 200, 100, 0, 0, 0);
    const unsigned long pid = static_cast<unsigned long>(processId);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title),
                    static_cast<int>(std::strlen(title)));
    XMapWindow(display, window);
    XSync(display, False);
    return window;
}

void setTitle(Display* display, ::Window window, const char* title) {
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title),
                    static_cast<int>(std::strlen(title)));
    XSync(display, False);
}

}  // namespace

TEST_F(OnXvfb, GameWindowFoundByProcessAndTitle) {
    GameProcess game;
    ASSERT_TRUE(waitFor([&] {
        QFile comm(QStringLiteral("/proc/%1/comm").arg(game.id()));
        return comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "hl_linux";
    }));
    X11ProcessWindows system(m_display);
    GameWindows windows(system);
    const ::Window window = createWindow(m_display, game.id(), "Counter-Strike");
    const ::Window other =
        createWindow(m_display, QCoreApplication::applicationPid(), "Counter-Strike");

    bool listed = false;
    for (const auto& w : system.topLevelWindows()) {
        if (w.id == window) {
            listed = true;
            EXPECT_EQ(w.processId, game.id());
            EXPECT_EQ(w.title, "Counter-Strike");
            EXPECT_FALSE(w.hasParent);
        }
    }
    EXPECT_TRUE(listed) << "without a window manager the root's children are the windows";
    EXPECT_EQ(windows.FindGameWindow(), window);

    setTitle(m_display, window, "Half-Life");
    EXPECT_FALSE(windows.FindGameWindow()) << "a 9-character title is not the game";
    setTitle(m_display, window, "");
    EXPECT_EQ(windows.FindGameWindow(), window) << "an untitled window is";
    XSetTransientForHint(m_display, window, other);
    XSync(m_display, False);
    EXPECT_FALSE(windows.FindGameWindow()) << "a dialog of another window is not";
    XDeleteProperty(m_display, window, XA_WM_TRANSIENT_FOR);

    XSetInputFocus(m_display, window, RevertToParent, CurrentTime);
    XSync(m_display, False);
    EXPECT_EQ(system.foregroundWindow(), window);
    // The once-a-second look at the foreground: that window and its process only.
    EXPECT_EQ(system.windowProcessId(window), game.id());
    EXPECT_EQ(system.processName(game.id()), "hl_linux");
    EXPECT_TRUE(windows.IsGameWindow(window));
    EXPECT_FALSE(windows.IsGameWindow(other)) << "the game's title on another program";
    setTitle(m_display, window, "Half-Life");
    EXPECT_FALSE(windows.IsGameWindow(window));
    XDestroyWindow(m_display, window);
    XDestroyWindow(m_display, other);
    XSync(m_display, False);
}

TEST_F(OnXvfb, WindowManagersClientListAndActiveWindowAreUsed) {
    GameProcess game;
    ASSERT_TRUE(waitFor([&] {
        QFile comm(QStringLiteral("/proc/%1/comm").arg(game.id()));
        return comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "hl_linux";
    }));
    const ::Window root = DefaultRootWindow(m_display);
    const ::Window listed = createWindow(m_display, game.id(), "Counter-Strike");
    const ::Window unlisted = createWindow(m_display, game.id(), "Counter-Strike");
    // A window manager as EWMH announces one: a check window naming itself, and its lists.
    const ::Window check = XCreateSimpleWindow(m_display, root, 0, 0, 1, 1, 0, 0, 0);
    const auto setWindows = [&](::Window on, const char* name, std::vector<unsigned long> ids) {
        XChangeProperty(m_display, on, XInternAtom(m_display, name, False), XA_WINDOW, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(ids.data()),
                        static_cast<int>(ids.size()));
    };
    setWindows(check, "_NET_SUPPORTING_WM_CHECK", {check});
    setWindows(root, "_NET_SUPPORTING_WM_CHECK", {check});
    setWindows(root, "_NET_CLIENT_LIST", {listed});
    setWindows(root, "_NET_ACTIVE_WINDOW", {listed});
    XSync(m_display, False);

    X11ProcessWindows system(m_display);
    GameWindows windows(system);
    const auto all = system.topLevelWindows();
    ASSERT_EQ(all.size(), 1U) << "the client list, not every child of the root";
    EXPECT_EQ(all.front().id, listed);
    EXPECT_EQ(windows.FindGameWindow(), listed);
    EXPECT_EQ(system.foregroundWindow(), listed);
    // With a window manager, only its word on the active window counts, not the focus.
    XSetInputFocus(m_display, unlisted, RevertToParent, CurrentTime);
    XDeleteProperty(m_display, root, XInternAtom(m_display, "_NET_ACTIVE_WINDOW", False));
    XSync(m_display, False);
    EXPECT_EQ(system.foregroundWindow(), 0U);
    setWindows(root, "_NET_ACTIVE_WINDOW", {listed});
    XSync(m_display, False);

    // The window manager's word is followed as it changes, each change within a look or two,
    // and a process looked up is forgotten when its window names another or goes away.
    EXPECT_EQ(system.foregroundWindow(), listed);
    for (const ::Window front : {unlisted, listed, check, listed}) {
        setWindows(root, "_NET_ACTIVE_WINDOW", {front});
        XSync(m_display, False);
        EXPECT_TRUE(waitFor([&] { return system.foregroundWindow() == front; })) << front;
    }
    EXPECT_EQ(system.windowProcessId(unlisted), game.id());
    EXPECT_EQ(system.windowProcessId(listed), game.id());
    const unsigned long own = static_cast<unsigned long>(QCoreApplication::applicationPid());
    XChangeProperty(m_display, listed, XInternAtom(m_display, "_NET_WM_PID", False), XA_CARDINAL,
                    32, PropModeReplace, reinterpret_cast<const unsigned char*>(&own), 1);
    XSync(m_display, False);
    EXPECT_TRUE(waitFor(
        [&] { return system.windowProcessId(listed) == QCoreApplication::applicationPid(); }));
    EXPECT_EQ(system.windowProcessId(unlisted), game.id());
    XDestroyWindow(m_display, unlisted);
    XSync(m_display, False);
    EXPECT_TRUE(waitFor([&] { return system.windowProcessId(unlisted) == 0; }));
    // Without the window manager's word the focus counts again.
    XDeleteProperty(m_display, root, XInternAtom(m_display, "_NET_SUPPORTING_WM_CHECK", False));
    XDeleteProperty(m_display, root, XInternAtom(m_display, "_NET_ACTIVE_WINDOW", False));
    XSetInputFocus(m_display, listed, RevertToParent, CurrentTime);
    XSync(m_display, False);
    EXPECT_TRUE(waitFor([&] { return system.foregroundWindow() == listed; }));
    setWindows(root, "_NET_SUPPORTING_WM_CHECK", {check});
    setWindows(root, "_NET_ACTIVE_WINDOW", {listed});
    XSync(m_display, False);

    // A client list of another window: the unlisted one is not looked at.
    setWindows(root, "_NET_CLIENT_LIST", {check});
    XSync(m_display, False);
    EXPECT_FALSE(windows.FindGameWindow());

    for (const char* name :
         {"_NET_SUPPORTING_WM_CHECK", "_NET_CLIENT_LIST", "_NET_ACTIVE_WINDOW"}) {
        XDeleteProperty(m_display, root, XInternAtom(m_display, name, False));
    }
    for (const ::Window window : {listed, check}) {
        XDestroyWindow(m_display, window);
    }
    XSync(m_display, False);
}

// Without a window manager the focus is followed by the X server's word: while it stays, the
// look each second asks the server nothing, and each move is seen at the next look.
TEST_F(OnXvfb, FocusWithoutAWindowManagerIsFollowedWithoutAskingWhileItStays) {
    const qint64 own = QCoreApplication::applicationPid();
    const ::Window first = createWindow(m_display, own, "first");
    const ::Window second = createWindow(m_display, own, "second");
    const ::Window inner = XCreateSimpleWindow(m_display, second, 5, 5, 20, 20, 0, 0, 0);
    XMapWindow(m_display, inner);
    XSync(m_display, False);
    X11ProcessWindows system(m_display);
    const auto focusOn = [&](::Window window) {
        XSetInputFocus(m_display, window, RevertToParent, CurrentTime);
        XSync(m_display, False);
    };
    const auto follows = [&](::Window expected) {
        return waitFor([&] { return system.foregroundWindow() == expected; });
    };
    const auto quiet = [&](::Window front) {
        const std::uint64_t asked = system.roundTrips();
        for (int look = 0; look < 5; ++look) {
            EXPECT_EQ(system.foregroundWindow(), front);
            if (front != 0) {
                EXPECT_EQ(system.windowProcessId(front), own);
            }
        }
        return system.roundTrips() - asked;
    };

    focusOn(first);
    EXPECT_TRUE(follows(first));
    system.windowProcessId(first);
    EXPECT_EQ(quiet(first), 0U);
    // Into a window inside another top-level window: that top-level window is in front.
    focusOn(inner);
    EXPECT_TRUE(follows(second));
    system.windowProcessId(second);
    EXPECT_EQ(quiet(second), 0U);
    focusOn(PointerRoot);
    EXPECT_TRUE(follows(0));
    EXPECT_EQ(quiet(0), 0U);
    focusOn(first);
    EXPECT_TRUE(follows(first));
    // The front window goes away: the focus falls back to the root, and nothing is in front.
    XDestroyWindow(m_display, first);
    XSync(m_display, False);
    EXPECT_TRUE(follows(0));
    EXPECT_EQ(system.windowProcessId(first), 0);
    focusOn(second);
    EXPECT_TRUE(follows(second));
    XDestroyWindow(m_display, second);
    XSync(m_display, False);
}

TEST_F(OnXvfb, RandrRampReadAppliedAndPutBack) {
    setDistinctRamp();
    const GammaTable original = crtcRamp();
    XrandrDisplayGamma display(m_display);
    GammaTable read{};
    ASSERT_TRUE(display.read(read));
    EXPECT_EQ(read, original);
    GammaTable custom = read;
    BuildGammaRamp(read, custom, 2.0F, 1.2F, 1.1F);
    ASSERT_NE(custom, original);
    display.apply(custom);
    XSync(m_display, False);
    EXPECT_EQ(crtcRamp(), custom);
    display.restoreFirstRead();
    EXPECT_EQ(crtcRamp(), original);
}

TEST_F(OnXvfb, AutomaticModeFollowsTheRealGameWindow) {
    setDistinctRamp();
    const GammaTable original = crtcRamp();
    GameProcess game;
    ASSERT_TRUE(waitFor([&] {
        QFile comm(QStringLiteral("/proc/%1/comm").arg(game.id()));
        return comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "hl_linux";
    }));
    WindowModel ui;
    FormState state;
    FakeSettings backend;
    backend.values = {{"AutoCM", "1"}, {"Gamma", "300"}};
    SettingsStore settings(backend);
    XrandrDisplayGamma display(m_display);
    X11ProcessWindows system(m_display);
    GameWindows windows(system);
    ColourManager manager(ui, state, settings, display, windows);
    manager.InitColourManagement();
    state.bFormReady = true;
    ASSERT_TRUE(manager.supported());

    const ::Window window = createWindow(m_display, game.id(), "Counter-Strike");
    XSetInputFocus(m_display, window, RevertToParent, CurrentTime);
    XSync(m_display, False);
    manager.t1secGameWatch();
    EXPECT_TRUE(state.bGameInFront);
    XSync(m_display, False);
    EXPECT_EQ(crtcRamp(), manager.customRamp());
    EXPECT_NE(crtcRamp(), original);

    XSetInputFocus(m_display, PointerRoot, RevertToParent, CurrentTime);
    XSync(m_display, False);
    const ::Window elsewhere = createWindow(m_display, 1, "Terminal");
    XSetInputFocus(m_display, elsewhere, RevertToParent, CurrentTime);
    XSync(m_display, False);
    manager.t1secGameWatch();
    EXPECT_FALSE(state.bGameInFront);
    EXPECT_EQ(crtcRamp(), original);
    XDestroyWindow(m_display, window);
    XDestroyWindow(m_display, elsewhere);
    XSync(m_display, False);
}

TEST_F(OnXvfb, ProgramPutsTheRampBackWhenEndedBySignal) {
    setDistinctRamp();
    const GammaTable original = crtcRamp();
    FakeMessageBox boxes;
    FakeSound sound;
    FakeSettings settings;
    FakeInstanceChannel instances;
    FakeUrlScheme urlScheme;
    FakeFileDialog files;
    ProgramOptions options;
    options.bindAddress = "127.0.0.11";
    options.messageBox = &boxes;
    options.sound = &sound;
    options.settings = &settings;
    options.instances = &instances;
    options.urlScheme = &urlScheme;
    options.fileDialog = &files;
    options.homeFolder = "/nonexistent";
    options.handleSignals = true;
    settings.values["Brightness"] = "130";
    auto program = std::make_unique<Program>(options);
    ASSERT_TRUE(program->start({}));
    // The display's ramp is read once the first frame is on the screen.
    ASSERT_TRUE(waitFor([&] { return program->form().colour().displayAttached(); }, 5000));
    program->window().buildAllPages();
    auto* frame = program->window().findChild<QGroupBox*>(QStringLiteral("fCM"));
    EXPECT_EQ(frame->title(), "Color manager");
    EXPECT_TRUE(frame->isEnabled());

    auto* turn = program->window().findChild<QAbstractButton*>(QStringLiteral("coTurn"));
    QTest::mouseClick(turn, Qt::LeftButton);
    EXPECT_EQ(turn->text(), "Turn off");
    GammaTable expected = original;
    BuildGammaRamp(original, expected, 1.0F, 1.0F, 1.3F);
    EXPECT_TRUE(waitFor([&] { return crtcRamp() == expected; }, 5000));

    std::raise(SIGTERM);
    EXPECT_TRUE(waitFor([&] { return program->form().ended(); }, 5000));
    EXPECT_EQ(crtcRamp(), original);
    EXPECT_EQ(settings.values["Brightness"], "130");
    program.reset();
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

TEST(XrandrResample, StretchesAndShrinksBetweenRampLengths) {
    std::vector<std::uint16_t> levels(256);
    for (std::size_t i = 0; i < levels.size(); ++i) {
        levels[i] = static_cast<std::uint16_t>(257 * i);
    }
    // A 1024-entry CRTC gets the same straight line, end to end.
    const auto wide = XrandrDisplayGamma::resample(levels.data(), levels.size(), 1024);
    ASSERT_EQ(wide.size(), 1024U);
    EXPECT_EQ(wide.front(), 0);
    EXPECT_EQ(wide.back(), 65535);
    for (std::size_t j = 0; j < wide.size(); ++j) {
        EXPECT_NEAR(wide[j], 65535.0 * static_cast<double>(j) / 1023.0, 1.0) << j;
    }
    // And back to 256 levels without drifting.
    EXPECT_EQ(XrandrDisplayGamma::resample(wide.data(), wide.size(), 256), levels);
    EXPECT_EQ(XrandrDisplayGamma::resample(levels.data(), levels.size(), 256), levels);
    EXPECT_TRUE(XrandrDisplayGamma::resample(levels.data(), 0, 4).size() == 4);
}

TEST(XrandrDisplayGammaWithoutDisplay, ReadsNothingAndIgnoresApplies) {
    XrandrDisplayGamma display(nullptr);
    GammaTable table{};
    table[3] = 77;
    EXPECT_FALSE(display.read(table));
    EXPECT_EQ(table[3], 77);
    display.apply(table);
    display.restoreFirstRead();
}
