#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <memory>
#include <tuple>
#include <vector>

#include "MainWindow.h"
#include "TabStopDelegate.h"
#include "platform/linux/X11HotKeys.h"
#include "platform/qt/Cp1252.h"
#include "platform/qt/QtMessageBox.h"
#include "platform/qt/QtSoundPlayer.h"
#include "platform/qt/QtTimerDriver.h"
#include "platform/qt/QtWindowSystem.h"

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

namespace squadlink {
namespace {

class WindowBindingTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<MainWindow>(model);
        window->setGuard([this](const std::function<void()>& handler) {
            ++guarded;
            handler();
        });
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    template <typename Widget>
    Widget* widget(const Control& control) {
        auto* found = window->findChild<Widget*>(QString::fromStdString(control.name()));
        EXPECT_NE(found, nullptr) << control.name();
        return found;
    }

    void addFighters(int count) {
        for (int i = 0; i < count; ++i) {
            model.lbFighters.addItem("Nick" + std::to_string(i) + "\t127.0.0." +
                                     std::to_string(11 + i) + "\t???? ms");
        }
    }

    QPoint rowCentre(int row) {
        return widget<QListWidget>(model.lbFighters)
            ->visualItemRect(widget<QListWidget>(model.lbFighters)->item(row))
            .center();
    }

    WindowModel model;
    std::unique_ptr<MainWindow> window;
    int guarded = 0;
};

TEST_F(WindowBindingTest, EveryControlModelHasAWidgetOfItsNameAndKind) {
    EXPECT_TRUE(window->unboundControls().empty());
    for (Control* control : model.controls()) {
        const QString name = QString::fromStdString(control->name());
        QObject* object =
            window->objectName() == name ? window.get() : window->findChild<QObject*>(name);
        EXPECT_NE(object, nullptr) << control->name();
    }
    EXPECT_EQ(window->findChild<QTextBrowser*>("rtb"), window->chatView());
    EXPECT_TRUE(window->chatView()->isReadOnly());
    EXPECT_EQ(widget<QListWidget>(model.lbFighters)->selectionMode(),
              QAbstractItemView::ExtendedSelection);
}

TEST_F(WindowBindingTest, CaptionsComeFromTheModel) {
    auto* tabs = widget<QTabWidget>(model.Tabek);
    ASSERT_EQ(tabs->count(), 7);
    EXPECT_EQ(tabs->tabText(0), "Configuration  ");
    EXPECT_EQ(tabs->tabText(6), "Misc  ");
    EXPECT_EQ(widget<QGroupBox>(model.fConnectedClients)->title(), "Connected Fighters");
    EXPECT_EQ(widget<QGroupBox>(model.fClientConnect)->title(), "Connection to War Arranger");
    EXPECT_EQ(widget<QRadioButton>(model.oServer)->text(), "Server (you are War Arranger)");
    EXPECT_EQ(widget<QCheckBox>(model.chPop)->text(), "Pop-up when not in game");
    EXPECT_EQ(widget<QLabel>(model.lKickBanHint)->text(),
              "Click to kick or ban selected Fighter(s)");
    EXPECT_EQ(widget<QPushButton>(model.coKick)->text(), "Kick");
    EXPECT_EQ(window->rosterMenu()->objectName(), "mKickBan");
    EXPECT_EQ(window->findChild<QAction*>("mClearSelection")->text(), "Clear Selection");
    EXPECT_TRUE(window->findChild<QAction*>("mKickBanSeparator")->isSeparator());
    EXPECT_FALSE(window->findChild<QAction*>("mSysAbout")->isEnabled());
}

TEST_F(WindowBindingTest, TypedCharactersPassThroughKeyPress) {
    std::vector<int> seen;
    model.tNick.KeyPress.connect([&seen](int& key) {
        seen.push_back(key);
        if (key >= '0' && key <= '9') {
            key = 0;
        } else if (key == 'x') {
            key = 'X';
        }
    });
    int changes = 0;
    model.tNick.Change.connect([&changes] { ++changes; });
    auto* nick = widget<QLineEdit>(model.tNick);
    nick->setFocus();
    QTest::keyClicks(nick, "a1bx");
    QKeyEvent eAcute(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QString(QChar(0x00E9)));
    QApplication::sendEvent(nick, &eAcute);
    EXPECT_EQ(model.tNick.text(), "abX\xE9");
    EXPECT_EQ(nick->text(), QString("abX") + QChar(0x00E9));
    EXPECT_EQ(seen, (std::vector<int>{'a', '1', 'b', 'x', 0xE9}));
    EXPECT_EQ(changes, 4);
    EXPECT_GT(guarded, 0);
}

TEST_F(WindowBindingTest, ControlKeysArriveAsCodesAndASwallowedPasteDoesNotPaste) {
    std::vector<int> seen;
    model.tServer.KeyPress.connect([&seen](int& key) {
        seen.push_back(key);
        if (key < 32 && key != 8) {
            key = 0;
        }
    });
    std::vector<std::pair<int, int>> downs;
    model.tServer.KeyDown.connect(
        [&downs](int& code, int shift) { downs.emplace_back(code, shift); });
    QGuiApplication::clipboard()->setText("pasted");
    auto* server = widget<QLineEdit>(model.tServer);
    server->setFocus();
    QTest::keyClicks(server, "ab");
    QTest::keyClick(server, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(server, Qt::Key_Backspace);
    EXPECT_EQ(model.tServer.text(), "a");
    EXPECT_EQ(server->text(), "a");
    EXPECT_EQ(seen, (std::vector<int>{'a', 'b', 22, 8}));
    ASSERT_EQ(downs.size(), 4U);
    EXPECT_EQ(downs[2], std::make_pair(86, 2));
}

TEST_F(WindowBindingTest, AChangeHandlerThatEmptiesTheBoxShowsInTheWidget) {
    model.tGame.Change.connect([this] {
        if (model.tGame.text().find(' ') != std::string::npos) {
            model.tGame.setText("");
        }
    });
    auto* game = widget<QLineEdit>(model.tGame);
    game->setFocus();
    QTest::keyClicks(game, "de");
    EXPECT_EQ(game->text(), "de");
    QTest::keyClicks(game, " ");
    EXPECT_EQ(model.tGame.text(), "");
    EXPECT_EQ(game->text(), "");
}

TEST_F(WindowBindingTest, ModelChangesAppearInWidgetsWithoutFeedingBack) {
    int changes = 0;
    model.tServer.Change.connect([&changes] { ++changes; });
    model.tServer.setMaxLength(34);
    model.tServer.setText("10.0.0.\x80");
    auto* server = widget<QLineEdit>(model.tServer);
    EXPECT_EQ(server->text(), QString("10.0.0.") + QChar(0x20AC));
    EXPECT_EQ(server->maxLength(), 34);
    EXPECT_EQ(changes, 1);

    model.coConnect.setEnabled(false);
    EXPECT_FALSE(widget<QPushButton>(model.coConnect)->isEnabled());
    model.lServer.setCaption("<b>1.2.3.4:27015</b>");
    EXPECT_EQ(widget<QLabel>(model.lServer)->text(), "<b>1.2.3.4:27015</b>");
    EXPECT_EQ(widget<QLabel>(model.lServer)->textFormat(), Qt::PlainText);
    model.chSound.setValue(1);
    EXPECT_TRUE(widget<QCheckBox>(model.chSound)->isChecked());
    model.imgStatusOn.setVisible(false);
    EXPECT_TRUE(widget<QLabel>(model.imgStatusOn)->isHidden());
    model.mKick.setVisible(false);
    EXPECT_FALSE(window->findChild<QAction*>("mKick")->isVisible());
    model.frmSQD.setCaption("Squadlink v1.1.0");
    EXPECT_EQ(window->windowTitle(), "Squadlink v1.1.0");

    addFighters(3);
    model.lbFighters.setSelected(1, true);
    auto* list = widget<QListWidget>(model.lbFighters);
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(2)->text(), "Nick2\t127.0.0.13\t???? ms");
    EXPECT_TRUE(list->item(1)->isSelected());
    EXPECT_FALSE(list->item(0)->isSelected());
    model.lbFighters.removeItem(0);
    ASSERT_EQ(list->count(), 2);
    EXPECT_TRUE(list->item(0)->isSelected());
    EXPECT_EQ(list->item(0)->text(), "Nick1\t127.0.0.12\t???? ms");
}

TEST_F(WindowBindingTest, SelectingRowsInTheListSelectsModelEntries) {
    addFighters(4);
    window->findChild<QTabWidget*>("Tabek")->setCurrentIndex(tab::Connections);
    auto* viewport = widget<QListWidget>(model.lbFighters)->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, rowCentre(1));
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, rowCentre(3));
    EXPECT_FALSE(model.lbFighters.selected(0));
    EXPECT_TRUE(model.lbFighters.selected(1));
    EXPECT_FALSE(model.lbFighters.selected(2));
    EXPECT_TRUE(model.lbFighters.selected(3));
    EXPECT_EQ(model.lbFighters.selCount(), 2);
}

// A 13 px font with 16 px rows used to make rows 8 and 9 act on 9 and 10.
TEST_F(WindowBindingTest, RowUnderThePointerComesFromTheListsItemGeometry) {
    addFighters(10);
    window->findChild<QTabWidget*>("Tabek")->setCurrentIndex(tab::Connections);
    auto* list = widget<QListWidget>(model.lbFighters);
    QFont font = list->font();
    font.setPixelSize(13);
    list->setFont(font);
    // Rows further apart than the font's height, as a desktop style may draw them.
    list->setSpacing(2);
    list->resize(list->width(), 400);
    QApplication::processEvents();
    ASSERT_GT(list->visualItemRect(list->item(1)).top() - list->visualItemRect(list->item(0)).top(),
              list->fontMetrics().height());
    for (int row = 0; row < 10; ++row) {
        const QPoint at = rowCentre(row);
        EXPECT_EQ(model.lbFighters.rowAt(at.x(), at.y()), row);
    }
    const QRect last = list->visualItemRect(list->item(9));
    EXPECT_EQ(model.lbFighters.rowAt(5, last.bottom() + 20), -1);
    // Scrolled: the first visible row is no longer the first entry.
    list->resize(list->width(), 80);
    list->scrollToItem(list->item(9));
    QApplication::processEvents();
    const QPoint nine = rowCentre(9);
    EXPECT_EQ(model.lbFighters.rowAt(nine.x(), nine.y()), 9);
}

TEST_F(WindowBindingTest, RightButtonReachesTheModelWithTheRowsPixelPosition) {
    addFighters(3);
    model.lbFighters.setSelected(0, true);
    window->findChild<QTabWidget*>("Tabek")->setCurrentIndex(tab::Connections);
    std::vector<std::tuple<MouseButton, int, int>> downs;
    std::vector<std::tuple<MouseButton, int, int>> ups;
    model.lbFighters.MouseDown.connect(
        [&downs](MouseButton b, int x, int y) { downs.emplace_back(b, x, y); });
    model.lbFighters.MouseUp.connect(
        [&ups](MouseButton b, int x, int y) { ups.emplace_back(b, x, y); });
    auto* viewport = widget<QListWidget>(model.lbFighters)->viewport();
    const QPoint at = rowCentre(2);
    QTest::mousePress(viewport, Qt::RightButton, {}, at);
    QTest::mouseRelease(viewport, Qt::RightButton, {}, at);
    ASSERT_EQ(downs.size(), 1U);
    ASSERT_EQ(ups.size(), 1U);
    EXPECT_EQ(std::get<0>(downs[0]), MouseButton::Right);
    EXPECT_EQ(std::get<2>(downs[0]), at.y());
    EXPECT_EQ(std::get<2>(downs[0]) / model.lbFighters.rowHeight(), 2);
    EXPECT_EQ(std::get<0>(ups[0]), MouseButton::Right);
    // Only the model decides what a right click selects.
    EXPECT_TRUE(model.lbFighters.selected(0));
    EXPECT_FALSE(model.lbFighters.selected(2));
}

TEST_F(WindowBindingTest, TabsFollowTheModelAndDisabledTabsCannotBeChosen) {
    int clicks = 0;
    model.Tabek.Click.connect([&clicks] { ++clicks; });
    auto* tabs = widget<QTabWidget>(model.Tabek);
    model.Tabek.setTabEnabled(tab::Connections, false);
    EXPECT_FALSE(tabs->isTabEnabled(tab::Connections));
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {},
                      tabs->tabBar()->tabRect(tab::Connections).center());
    EXPECT_EQ(model.Tabek.selectedTab(), tab::Configuration);
    EXPECT_EQ(tabs->currentIndex(), tab::Configuration);
    EXPECT_EQ(clicks, 0);

    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {},
                      tabs->tabBar()->tabRect(tab::Chat).center());
    EXPECT_EQ(model.Tabek.selectedTab(), tab::Chat);
    EXPECT_EQ(clicks, 1);

    model.Tabek.setSelectedTab(tab::Game);
    EXPECT_EQ(tabs->currentIndex(), tab::Game);
    // Disabling the shown tab does not move the model's selection elsewhere.
    model.Tabek.setTabEnabled(tab::Game, false);
    EXPECT_EQ(model.Tabek.selectedTab(), tab::Game);
    EXPECT_EQ(tabs->currentIndex(), tab::Game);
    EXPECT_EQ(clicks, 2);
}

TEST_F(WindowBindingTest, OptionsAndCheckBoxesReportClicks) {
    auto* server = widget<QRadioButton>(model.oServer);
    auto* client = widget<QRadioButton>(model.oClient);
    EXPECT_FALSE(server->isChecked());
    EXPECT_FALSE(client->isChecked());
    int serverClicks = 0;
    model.oServer.Click.connect([&serverClicks] { ++serverClicks; });
    QTest::mouseClick(server, Qt::LeftButton, {}, QPoint(8, server->height() / 2));
    EXPECT_TRUE(model.oServer.value());
    EXPECT_EQ(serverClicks, 1);
    model.oClient.setValue(true);
    EXPECT_TRUE(client->isChecked());
    EXPECT_FALSE(server->isChecked());

    QTest::mouseClick(widget<QCheckBox>(model.chFeedback), Qt::LeftButton, {},
                      QPoint(8, widget<QCheckBox>(model.chFeedback)->height() / 2));
    EXPECT_EQ(model.chFeedback.value(), 1);
}

TEST_F(WindowBindingTest, HookedBoxRunsRightClickInsteadOfItsMenu) {
    auto* chat = widget<QLineEdit>(model.tChat);
    const auto menuShown = [chat] {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2),
                                chat->mapToGlobal(QPoint(2, 2)));
        QCoreApplication::sendEvent(chat, &event);
        QWidget* menu = QApplication::activePopupWidget();
        if (menu != nullptr) {
            menu->close();
        }
        return menu != nullptr;
    };
    // Hooked but with nobody to handle the click: the box keeps its own menu.
    model.tChat.setHooked(true);
    EXPECT_TRUE(menuShown());
    model.tChat.setHooked(false);

    int rightClicks = 0;
    model.tChat.RightClick.connect([&rightClicks] { ++rightClicks; });
    QTest::mouseClick(chat, Qt::RightButton);
    EXPECT_EQ(rightClicks, 0);
    model.tChat.setHooked(true);
    QTest::mouseClick(chat, Qt::RightButton);
    EXPECT_EQ(rightClicks, 1);
    EXPECT_FALSE(menuShown());
}

TEST_F(WindowBindingTest, ButtonsRunTheirHandlerThroughTheGuard) {
    int clicks = 0;
    model.coRefresh.Click.connect([&clicks] { ++clicks; });
    const int before = guarded;
    widget<QPushButton>(model.coRefresh)->click();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(guarded, before + 1);
}

TEST_F(WindowBindingTest, WindowFollowsTheModelsVisibility) {
    model.frmSQD.setVisible(false);
    // No tray offscreen: the window must stay reachable, minimised rather than hidden.
    EXPECT_TRUE(window->isVisible());
    model.frmSQD.setWindowState(WindowState::Minimized);
    EXPECT_TRUE(window->isMinimized());
    model.frmSQD.setWindowState(WindowState::Normal);
    EXPECT_FALSE(window->isMinimized());
}

// ---------------------------------------------------------------------------------------------

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

TEST(QtSoundPlayerTest, SoundsAreCompiledInWithTheirLengths) {
    for (int id = 101; id <= 106; ++id) {
        const int ms = QtSoundPlayer::durationMs(id);
        EXPECT_GT(ms, 50) << id;
        EXPECT_LT(ms, 1000) << id;
    }
    EXPECT_EQ(QtSoundPlayer::durationMs(107), 0);
    QtSoundPlayer player;
    EXPECT_GE(player.outputDeviceCount(), 0);
    // Unknown sounds never fall back to anything.
    player.play(99, true);
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

TEST(TabStopDelegateTest, DialogUnitsMapToPixelsAndMakeRoomForTheLastColumns) {
    EXPECT_EQ(TabStopDelegate::mapStops({184, 251}, 6, {0, 0}, 1000), (std::vector<int>{276, 376}));
    const auto squeezed = TabStopDelegate::mapStops({184, 251}, 8, {100, 60}, 450);
    ASSERT_EQ(squeezed.size(), 2U);
    EXPECT_LE(squeezed[1] + 60, 450 - TabStopDelegate::kTextMargin);
    EXPECT_GE(squeezed[1] - squeezed[0], 100);
    // Too narrow for everything: stops never cross each other.
    const auto cramped = TabStopDelegate::mapStops({184, 251}, 8, {300, 300}, 200);
    EXPECT_LE(cramped[0], cramped[1]);
    EXPECT_GE(cramped[0], 0);
}

}  // namespace
}  // namespace squadlink
