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
#include <QMenuBar>
#include <QMessageBox>
#include <QPaintEvent>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <memory>
#include <tuple>
#include <vector>

#include "ClockLabel.h"
#include "MainWindow.h"
#include "ProgramStyle.h"
#include "TabStopDelegate.h"
#include "WindowParts.h"
#include "backends/qt/QtSoundPlayer.h"

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

// The program's window builds a tab page when it is first shown: the page then shows what the
// models hold by that time, and the finished window has the same widgets as one built whole.
TEST(WindowPages, PagesBuiltWhenShownShowTheModelsStateOfThatTime) {
    WindowModel model;
    MainWindow window(model, MainWindow::Pages::WhenShown);
    for (int page = 0; page < 7; ++page) {
        EXPECT_FALSE(window.pageBuilt(page)) << page;
    }
    EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("tServer")), nullptr);
    EXPECT_EQ(window.findChild<QTextBrowser*>(QStringLiteral("rtb")), nullptr);

    model.lServer.setCaption("1.2.3.4:27015");
    model.coPingGame.setEnabled(false);
    model.tServer.setText("10.0.0.2");
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(window.pageBuilt(0));
    EXPECT_FALSE(window.pageBuilt(1));
    EXPECT_NE(window.findChild<QLineEdit*>(QStringLiteral("tNick")), nullptr);

    model.Tabek.setSelectedTab(1);
    EXPECT_TRUE(window.pageBuilt(1));
    auto* address = window.findChild<QLabel*>(QStringLiteral("lServer"));
    ASSERT_NE(address, nullptr);
    EXPECT_EQ(address->text(), QStringLiteral("1.2.3.4:27015"));
    EXPECT_TRUE(address->isVisible());
    EXPECT_FALSE(window.findChild<QPushButton*>(QStringLiteral("coPingGame"))->isEnabled());
    EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("tServer"))->text(),
              QStringLiteral("10.0.0.2"));
    // Typing into the new page reaches the model.
    auto* box = window.findChild<QLineEdit*>(QStringLiteral("tServer"));
    box->setFocus();
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClicks(box, "5");
    EXPECT_EQ(model.tServer.text(), "10.0.0.25");

    // A click on a tab builds its page too.
    auto* bar = window.findChild<QTabWidget*>(QStringLiteral("Tabek"))->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(5).center());
    EXPECT_EQ(model.Tabek.selectedTab(), 5);
    EXPECT_TRUE(window.pageBuilt(5));
    EXPECT_NE(window.findChild<QWidget*>(QStringLiteral("pbReflex")), nullptr);

    window.buildAllPages();
    EXPECT_TRUE(window.unboundControls().empty());
    const auto names = [](const QWidget& root) {
        QStringList list;
        for (const QObject* child : root.findChildren<QObject*>()) {
            if (!child->objectName().isEmpty() &&
                !child->objectName().startsWith(QLatin1String("qt_"))) {
                list.append(child->objectName());
            }
        }
        list.sort();
        return list;
    };
    WindowModel wholeModel;
    const MainWindow whole(wholeModel);
    EXPECT_EQ(names(window), names(whole));
}

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
    EXPECT_TRUE(window->findChild<QAction*>("mSysAbout")->isEnabled());
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

namespace squadlink {
namespace {

// The clock's label draws from characters laid out once; it must look like the QLabel it
// stands in for, whatever the text, width, alignment and state.
TEST(ClockLabelTest, PaintsWhatAQLabelPaints) {
    struct Case {
        QString text;
        Qt::Alignment alignment;
        bool enabled;
    };
    const Case cases[] = {
        {QStringLiteral("23:59:58"), Qt::AlignLeft | Qt::AlignVCenter, true},
        {QStringLiteral("08.12.2026"), Qt::AlignLeft | Qt::AlignVCenter, true},
        {QStringLiteral("00:00:00"), Qt::AlignRight | Qt::AlignVCenter, true},
        {QStringLiteral("11:11:11"), Qt::AlignHCenter | Qt::AlignVCenter, false},
        {QString(), Qt::AlignLeft | Qt::AlignVCenter, true},
        {QStringLiteral("two\nlines"), Qt::AlignLeft | Qt::AlignVCenter, true},
    };
    for (const auto& [text, alignment, enabled] : cases) {
        SCOPED_TRACE(text.toStdString());
        QLabel plain;
        ClockLabel clock;
        for (QLabel* label : {&plain, static_cast<QLabel*>(&clock)}) {
            label->setTextFormat(Qt::PlainText);
            label->setAutoFillBackground(true);
            label->setFixedSize(70, 16);
            label->setAlignment(alignment);
            label->setEnabled(enabled);
            label->setText(text);
        }
        EXPECT_EQ(plain.grab().toImage(), clock.grab().toImage());
        // A second time from the characters already laid out, after a new text.
        plain.setText(QStringLiteral("12:34:56"));
        clock.setText(QStringLiteral("12:34:56"));
        EXPECT_EQ(plain.grab().toImage(), clock.grab().toImage());
        // A new font is measured and laid out anew.
        QFont larger = plain.font();
        larger.setPixelSize(12);
        plain.setFont(larger);
        clock.setFont(larger);
        EXPECT_EQ(plain.grab().toImage(), clock.grab().toImage());
    }
}

// A new time repaints only the characters that changed or moved, and the window then shows
// what a label drawn whole would.
TEST(ClockLabelTest, NewTextRepaintsOnlyWhatChanged) {
    QWidget window;
    window.resize(90, 26);
    auto* clock = new ClockLabel(&window);
    QLabel reference;
    for (QLabel* label : {static_cast<QLabel*>(clock), &reference}) {
        label->setTextFormat(Qt::PlainText);
        label->setAutoFillBackground(true);
        label->setFixedSize(70, 16);
    }
    clock->move(5, 5);
    clock->setText(QStringLiteral("12:34:56"));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QApplication::processEvents();

    struct PaintWidth : QObject {
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) {
                widest = std::max(widest, static_cast<QPaintEvent*>(event)->rect().width());
            }
            return false;
        }
        int widest = 0;
    } painted;
    clock->installEventFilter(&painted);
    const struct {
        QString text;
        int widestPaint;  // at most, in pixels; 0: no repaint at all
    } steps[] = {
        {QStringLiteral("12:34:57"), 20},  // one digit
        {QStringLiteral("12:34:57"), 0},   // the same again
        {QStringLiteral("12:40:00"), 50},  // four digits, the colon between kept
        {QStringLiteral("9:00:00"), 70},   // shorter: everything moves
        {QStringLiteral("19:00:00"), 70},  // longer again
        {QStringLiteral("19:00:01"), 20},
    };
    for (const auto& [text, widestPaint] : steps) {
        SCOPED_TRACE(text.toStdString());
        painted.widest = 0;
        clock->showText(text);
        QApplication::processEvents();
        EXPECT_EQ(clock->text(), text);
        EXPECT_LE(painted.widest, widestPaint);
        if (widestPaint == 0) {
            continue;
        }
        EXPECT_GT(painted.widest, 0);
        reference.setText(text);
        const QImage shown = QGuiApplication::primaryScreen()
                                 ->grabWindow(window.winId(), 5, 5, 70, 16)
                                 .toImage()
                                 .convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(shown, reference.grab().toImage().convertToFormat(QImage::Format_RGB32));
    }
}

}  // namespace
}  // namespace squadlink

namespace squadlink {
namespace {

// A base style that counts what it is asked for.
class CountingStyle : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                       const QWidget* widget) const override {
        ++asked;
        return QProxyStyle::standardIcon(which, option, widget);
    }
    mutable int asked = 0;
};

// The menu bar's overflow arrow is made only when something needs its pictures, and then is
// the base style's own.
TEST(ProgramStyleTest, OverflowArrowIsMadeWhenFirstNeededAndIsTheBaseStylesOwn) {
    auto* counting = new CountingStyle;
    ProgramStyle style;
    style.setBaseStyle(counting);
    QMenuBar bar;
    bar.setStyle(&style);
    const QIcon arrow = style.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
    EXPECT_FALSE(arrow.isNull());
    EXPECT_EQ(counting->asked, 0);
    const QImage drawn = arrow.pixmap(16, 16).toImage();
    EXPECT_EQ(counting->asked, 1);
    EXPECT_EQ(drawn,
              counting->QProxyStyle::standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton)
                  .pixmap(16, 16)
                  .toImage());
    EXPECT_FALSE(drawn.isNull());
    (void)arrow.pixmap(32, 32);
    EXPECT_EQ(counting->asked, 1);
    // Everything else goes straight to the base style.
    (void)style.standardIcon(QStyle::SP_DialogOkButton);
    EXPECT_EQ(counting->asked, 2);
    bar.setStyle(nullptr);
}

// Compact tabs stand in for a padding style sheet: same sizes, same pixels, whichever tab is
// chosen, disabled or focused.
TEST(ProgramStyleTest, CompactTabsLookLikeThePaddingStyleSheet) {
    const QStringList captions = {"Configuration  ", "Fighter  ", "Connections  ", "Game  ",
                                  "Chat  ",          "Tools  ",   "Misc  "};
    auto grab = [&](bool styleSheet, int chosen) {
        QTabWidget tabs;
        QFont compact = tabs.font();
        compact.setPixelSize(kFontPixels);
        tabs.setFont(compact);
        tabs.setUsesScrollButtons(false);
        if (styleSheet) {
            tabs.tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 4px; }"));
        } else {
            ProgramStyle::makeTabsCompact(tabs.tabBar());
        }
        for (const QString& caption : captions) {
            tabs.addTab(new QWidget, caption);
        }
        tabs.setCurrentIndex(chosen);
        tabs.setTabEnabled(3, false);
        tabs.resize(472, 120);
        tabs.show();
        tabs.tabBar()->setFocus();
        QApplication::processEvents();
        QVector<QRect> rects;
        for (int i = 0; i < tabs.count(); ++i) {
            rects.append(tabs.tabBar()->tabRect(i));
        }
        return std::make_pair(rects, tabs.grab().toImage());
    };
    ASSERT_NE(dynamic_cast<ProgramStyle*>(QApplication::style()), nullptr);
    for (int chosen : {0, 2, 6}) {
        SCOPED_TRACE(chosen);
        const auto [sheetRects, sheetPixels] = grab(true, chosen);
        const auto [compactRects, compactPixels] = grab(false, chosen);
        EXPECT_EQ(sheetRects, compactRects);
        EXPECT_EQ(sheetPixels, compactPixels);
        // All seven fit, and they are narrower than the style's own.
        EXPECT_LE(compactRects.last().right(), 471);
    }
    QTabBar plain;
    plain.addTab(QStringLiteral("Configuration  "));
    QTabBar compact;
    ProgramStyle::makeTabsCompact(&compact);
    compact.addTab(QStringLiteral("Configuration  "));
    EXPECT_LT(compact.sizeHint().width(), plain.sizeHint().width());
}

TEST(OwnPictureTest, ReadsTheProgramsPicturesAndNothingElse) {
    MainWindow::loadResources();
    EXPECT_EQ(ownPicture(QStringLiteral(":/icons/squadlink-32.png")).size(), QSize(32, 32));
    EXPECT_FALSE(ownPicture(QStringLiteral(":/cursors/hand.png")).isNull());
    EXPECT_TRUE(ownPicture(QStringLiteral(":/icons/none.png")).isNull());
}

}  // namespace
}  // namespace squadlink
