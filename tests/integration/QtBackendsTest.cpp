#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "backends/linux/StartUpWarmUp.h"
#include "backends/linux/X11HotKeys.h"
#include "backends/qt/Cp1252.h"
#include "backends/qt/QtClock.h"
#include "backends/qt/QtMessageBox.h"
#include "backends/qt/QtTimerDriver.h"
#include "backends/qt/QtWindowSystem.h"

// After Qt: Xlib's macros would break Qt's headers.
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>
#undef None
#undef Bool
#undef Status
#undef KeyPress
#undef KeyRelease
#undef FocusIn
#undef FocusOut
#undef Expose

using namespace squadlink;

namespace {

TEST(Cp1252Test, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    const QString text = Cp1252::toUnicode(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(Cp1252::fromUnicode(text), all);
}

TEST(Cp1252Test, HighControlRangeMapsToItsCharacters) {
    const std::pair<unsigned char, char16_t> table[] = {
        {0x80, 0x20AC}, {0x85, 0x2026}, {0x8A, 0x0160}, {0x92, 0x2019}, {0x99, 0x2122},
        {0x9F, 0x0178}, {0x81, 0x0081}, {0xA0, 0x00A0}, {0xE9, 0x00E9}, {0x41, 0x0041}};
    for (const auto& [byte, unicode] : table) {
        EXPECT_EQ(Cp1252::toUnicode(std::string(1, static_cast<char>(byte))),
                  QString(QChar(unicode)))
            << int{byte};
        EXPECT_EQ(Cp1252::byteFor(unicode), int{byte});
    }
    EXPECT_EQ(Cp1252::fromUnicode(QString::fromUtf8("a\xCE\xA9z")), "a?z");
    EXPECT_EQ(Cp1252::fromUnicode(QString::fromUtf8("\xF0\x9F\x98\x80")), "?");
}

TEST(QtMessageBoxTest, FlagsChooseIconButtonsAndDefault) {
    struct Case {
        int flags;
        QMessageBox::Icon icon;
        std::vector<int> answers;
        int defaultAnswer;
    };
    const Case cases[] = {
        {16, QMessageBox::Critical, {1}, 1},        {48, QMessageBox::Warning, {1}, 1},
        {64, QMessageBox::Information, {1}, 1},     {68, QMessageBox::Information, {6, 7}, 6},
        {324, QMessageBox::Information, {6, 7}, 7}, {53, QMessageBox::Warning, {4, 2}, 4},
    };
    for (const auto& c : cases) {
        const auto box = QtMessageBox::build("text", "Squadlink v1.1.0 - Title", c.flags, nullptr);
        EXPECT_EQ(box->icon(), c.icon) << c.flags;
        std::vector<int> answers;
        for (QAbstractButton* button : box->buttons()) {
            answers.push_back(QtMessageBox::answerOf(button));
        }
        std::sort(answers.begin(), answers.end());
        auto expected = c.answers;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(answers, expected) << c.flags;
        EXPECT_EQ(QtMessageBox::answerOf(box->defaultButton()), c.defaultAnswer) << c.flags;
        EXPECT_EQ(box->windowTitle(), "Squadlink v1.1.0 - Title");
    }
}

TEST(QtMessageBoxTest, TextIsPlainAndConvertedFromWindows1252) {
    const auto box =
        QtMessageBox::build("<b>Viper</b> \x80   \r\nSecond line   ", "t", 64, nullptr);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->text(), QString("<b>Viper</b> ") + QChar(0x20AC) + "   \nSecond line   ");
}

TEST(QtMessageBoxTest, AnsweredBoxReturnsTheWindowsCode) {
    QWidget owner;
    QtMessageBox boxes(&owner);
    // Answer as soon as the box is up; earlier tests may leave events queued before it.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&answer] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            answer.stop();
            box->button(QMessageBox::No)->click();
        }
    });
    answer.start(5);
    EXPECT_EQ(boxes.show("Sure?", "t", 68), 7);
}

TEST(QtTimerDriverTest, QtTimerFollowsTheModelAndTicksThroughTheGuard) {
    Timer timer("tFlood");
    QtTimerDriver driver;
    int guarded = 0;
    driver.setGuard([&guarded](const std::function<void()>& handler) {
        ++guarded;
        handler();
    });
    driver.attach(timer);
    const QTimer* qt = driver.qtTimer(timer);
    ASSERT_NE(qt, nullptr);
    EXPECT_FALSE(qt->isActive());
    timer.setInterval(500);
    EXPECT_FALSE(qt->isActive());
    timer.start();
    EXPECT_TRUE(qt->isActive());
    EXPECT_EQ(qt->interval(), 500);
    timer.stop();
    EXPECT_FALSE(qt->isActive());

    int ticks = 0;
    timer.Tick.connect([&ticks, &timer] {
        ++ticks;
        timer.stop();
    });
    timer.setInterval(1);
    timer.start();
    EXPECT_TRUE(QTest::qWaitFor([&ticks] { return ticks > 0; }, 5000));
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(guarded, 1);
    EXPECT_FALSE(qt->isActive());
}

TEST(QtWindowSystemTest, RecognisesTheGameUnderWineAndNatively) {
    using namespace std::string_literals;
    EXPECT_TRUE(QtWindowSystem::isGameProcess("hl.exe\n", ""));
    EXPECT_TRUE(QtWindowSystem::isGameProcess("HL.EXE\n", ""));
    EXPECT_TRUE(QtWindowSystem::isGameProcess("hl_linux\n", ""));
    EXPECT_TRUE(QtWindowSystem::isGameProcess("wine64-preload\n",
                                              "Z:\\Games\\Half-Life\\hl.exe\0-game\0cstrike\0"s));
    EXPECT_TRUE(QtWindowSystem::isGameProcess("", "/opt/hl/hl_linux\0-game\0"s));
    EXPECT_FALSE(QtWindowSystem::isGameProcess("steam\n", "/usr/bin/steam\0"s));
    EXPECT_FALSE(QtWindowSystem::isGameProcess("hl.exe.bak\n", "/tmp/hl.exe.bak\0"s));
    EXPECT_FALSE(QtWindowSystem::isGameProcess("bash\n", "bash\0/tmp/hl.exe\0"s));
}

// Start-up work the first frame does not need runs once that frame is painted, from the event
// loop; later work runs on the next turn of the loop; none runs once the window is gone.
TEST(QtWindowSystemTest, WorkWaitsForTheWindowsFirstFrame) {
    auto window = std::make_unique<QWidget>();
    window->resize(200, 100);
    QtWindowSystem windows(*window);
    std::vector<std::string> done;
    windows.afterFirstFrame([&] { done.push_back("first"); });
    QCoreApplication::processEvents();
    EXPECT_TRUE(done.empty());

    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !done.empty(); }, 2000));
    EXPECT_EQ(done, std::vector<std::string>{"first"});

    windows.afterFirstFrame([&] { done.push_back("later"); });
    EXPECT_EQ(done.size(), 1u);
    QCoreApplication::processEvents();
    EXPECT_EQ(done, (std::vector<std::string>{"first", "later"}));

    auto hidden = std::make_unique<QWidget>();
    QtWindowSystem hiddenWindows(*hidden);
    bool ran = false;
    hiddenWindows.afterFirstFrame([&] { ran = true; });
    hidden.reset();
    QTest::qWait(1200);
    EXPECT_FALSE(ran);
}

// A window that is never painted still gets its start-up work done, a little later.
TEST(QtWindowSystemTest, WorkRunsWhenNoFrameComes) {
    QWidget window;
    QtWindowSystem windows(window);
    bool ran = false;
    windows.afterFirstFrame([&] { ran = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return ran; }, 3000));
}

// The status bar's clock: local wall-clock time, following a change of the time zone made
// while the program runs.
TEST(QtClockTest, LocalTimeFollowsTheZone) {
    const QByteArray savedZone = qgetenv("TZ");
    const auto agrees = [] {
        QtClock clock;
        for (int attempt = 0; attempt < 3; ++attempt) {
            const LocalDateTime ours = clock.now();
            const QDateTime qt = QDateTime::currentDateTime();
            if (ours.year == qt.date().year() && ours.month == qt.date().month() &&
                ours.day == qt.date().day() && ours.hour == qt.time().hour() &&
                ours.minute == qt.time().minute() && ours.second == qt.time().second()) {
                return true;
            }
        }
        return false;
    };
    // One clock, as the running program has, sees the zone change at once.
    QtClock running;
    qputenv("TZ", "UTC0");
    EXPECT_TRUE(agrees());
    const int utcHour = running.now().hour;
    qputenv("TZ", "XYZ-5");
    EXPECT_TRUE(agrees());
    const int laterHour = running.now().hour;
    EXPECT_TRUE(laterHour == (utcHour + 5) % 24 || laterHour == (utcHour + 6) % 24);
    if (savedZone.isNull()) {
        qunsetenv("TZ");
    } else {
        qputenv("TZ", savedZone);
    }
}

TEST(StartUpWarmUpTest, ConnectsEarlyOnlyWhereThePlatformWillUseTheSessionBus) {
    // Connecting where the platform never would starts a bus connection (and, without a bus,
    // a fork) for nothing; missing a desktop platform loses the head start.
    const struct {
        const char* platform;
        bool connects;
    } cases[] = {
        {nullptr, true},
        {"", true},
        {"xcb", true},
        {"xcb:display=:1", true},
        {"wayland", true},
        {"wayland-egl", true},
        {"wayland;xcb", true},
        {"offscreen", false},
        {"minimal", false},
        {"offscreen;xcb", false},
        {"vnc:size=800x600", false},
        {"eglfs", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StartUpWarmUp::platformUsesSessionBus(c.platform), c.connects)
            << (c.platform ? c.platform : "(unset)");
    }
}

TEST(StartUpWarmUpTest, NoLauncherIsForkedOnlyWhereEveryWayToTheSessionBusFails) {
    // A wrong "no bus" costs the accessibility bridge its bus; a wrong "maybe" costs a fork.
    const std::vector<std::string> files = {"/run/user/1000/bus", "/usr/bin/dbus-launch",
                                            "/opt/dbus/bin/dbus-launch", "./dbus-launch"};
    struct Case {
        const char* what;
        StartUpWarmUp::BusSearch search;
        std::vector<std::string> present;
        bool mayBeFound;
    };
    const Case cases[] = {
        {"an address is given", {"unix:path=/run/bus", nullptr, "/nowhere"}, {}, true},
        {"an empty address counts as none", {"", "/tmp/run", "/nowhere"}, {}, false},
        {"the user's bus", {nullptr, "/run/user/1000", "/nowhere"}, {files[0]}, true},
        {"no bus in the runtime folder", {nullptr, "/run/user/1000", "/nowhere"}, {}, false},
        {"an empty runtime folder is none", {nullptr, "", "/nowhere"}, {"/bus"}, false},
        {"the launcher at its own path", {nullptr, nullptr, "/nowhere"}, {files[1]}, true},
        {"the launcher on PATH", {nullptr, nullptr, "/usr/games:/opt/dbus/bin"}, {files[2]}, true},
        {"an empty PATH entry is the current folder",
         {nullptr, nullptr, "/nowhere::"},
         {files[3]},
         true},
        {"PATH unset, no launcher", {nullptr, nullptr, nullptr}, {}, false},
        {"nothing anywhere", {nullptr, "/run/user/1000", "/usr/games:/opt/dbus/bin"}, {}, false},
    };
    for (const Case& c : cases) {
        const auto present = [&c](const std::string& path) {
            return std::find(c.present.begin(), c.present.end(), path) != c.present.end();
        };
        EXPECT_EQ(StartUpWarmUp::sessionBusMayBeFound(c.search, present, present), c.mayBeFound)
            << c.what;
    }
}

TEST(X11HotKeysTest, WithoutX11RegistrationFailsQuietly) {
    if (QGuiApplication::platformName() == "xcb") {
        GTEST_SKIP() << "runs on an X11 display";
    }
    X11HotKeys keys;
    bool fired = false;
    EXPECT_FALSE(keys.registerKey(HotKeys::Key::GammaUp, [&fired] { fired = true; }));
    EXPECT_FALSE(keys.registered(HotKeys::Key::GammaUp));
    keys.unregisterKey(HotKeys::Key::GammaUp);
    EXPECT_FALSE(fired);
}

// Needs an X server (for example Xvfb and QT_QPA_PLATFORM=xcb); skipped offscreen.
TEST(X11HotKeysTest, KeysTakenByAnotherClientFailAndFreeKeysFireWithLockModifiers) {
    if (QGuiApplication::platformName() != "xcb") {
        GTEST_SKIP() << "needs an X11 display";
    }
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    const KeyCode plus = XKeysymToKeycode(other, XK_KP_Add);
    XGrabKey(other, plus, ControlMask | ShiftMask, DefaultRootWindow(other), 1, GrabModeAsync,
             GrabModeAsync);
    XSync(other, 0);

    X11HotKeys keys;
    int ups = 0;
    int downs = 0;
    EXPECT_FALSE(keys.registerKey(HotKeys::Key::GammaUp, [&ups] { ++ups; }));
    EXPECT_TRUE(keys.registerKey(HotKeys::Key::GammaDown, [&downs] { ++downs; }));
    XCloseDisplay(other);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return keys.registerKey(HotKeys::Key::GammaUp, [&ups] { ++ups; }); }, 2000));

    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    const KeyCode minus = XKeysymToKeycode(x11->display(), XK_KP_Subtract);
    xcb_key_press_event_t press{};
    press.response_type = XCB_KEY_PRESS;
    press.detail = minus;
    press.state = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_LOCK;
    EXPECT_TRUE(keys.nativeEventFilter("xcb_generic_event_t", &press, nullptr));
    press.state = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_1;
    EXPECT_FALSE(keys.nativeEventFilter("xcb_generic_event_t", &press, nullptr));
    press.detail = plus;
    press.state = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT;
    EXPECT_TRUE(keys.nativeEventFilter("xcb_generic_event_t", &press, nullptr));
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 1);
}

}  // namespace
