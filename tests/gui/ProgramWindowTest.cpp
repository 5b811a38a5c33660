#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <functional>
#include <memory>

#include "Program.h"
#include "support/FakeServices.h"
#include "support/FakeShellServices.h"
#include "support/ProgramCopy.h"
#include "support/WaitFor.h"

using namespace squadlink;
using squadlink::test::waitFor;

namespace {

// The real settings store lives in a home of the test's own; Qt fixes the store's folder at
// first use, so one home serves the whole test process and every test starts it empty.
QString testHome() {
    static QTemporaryDir home;
    static const bool prepared = [] {
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
        qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
        return true;
    }();
    (void)prepared;
    return home.path();
}

QSettings& store() {
    testHome();
    static QSettings settings(QStringLiteral("Squadlink"), QStringLiteral("Squadlink"));
    return settings;
}

// One copy of the program with its real window and real store; dialogs, sounds, the hand-over
// channel and the desktop's handler registration are fakes.
struct Copy : test::ProgramCopy {
    // Without a settings backend of the test's, the copy uses the real store.
    explicit Copy(const std::string& bindAddress, SettingsBackend* store = nullptr)
        // The banner writes its picture into a "data" folder beside the executable.
        : ProgramCopy(bindAddress, (testHome() + "/bin/squadlink").toStdString()) {
        options.settings = store;
        create();
    }
};

class ProgramWindow : public ::testing::Test {
protected:
    void SetUp() override {
        store().remove(QStringLiteral("Settings"));
        store().sync();
    }
    void TearDown() override {
        // A copy that shut down asked the event loop to end; run the loop once so that the
        // request does not end the next test's dialogs at once.
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
    }
    static void storeValue(const char* key, const QString& value) {
        store().setValue(QStringLiteral("Settings/") + key, value);
        store().sync();
    }
    static QString stored(const char* key) {
        store().sync();
        return store().value(QStringLiteral("Settings/") + key).toString();
    }
};

TEST_F(ProgramWindow, StartUpRestoresEveryStoredControl) {
    storeValue("Nick", "Viper");
    storeValue("Server", "wa.example.org");
    storeValue("ClientMode", "True");
    storeValue("ServerMode", "False");
    storeValue("LastTab", "1");
    storeValue("NotifySound", "0");
    storeValue("NotifyPopup", "1");
    storeValue("NotifyFeedback", "1");
    storeValue("Autoconnect", "0");
    Copy copy("127.0.0.11");
    ASSERT_TRUE(copy.program->start({}));
    EXPECT_EQ(copy.widget<QLineEdit>("tNick")->text(), "Viper");
    EXPECT_EQ(copy.widget<QLineEdit>("tServer")->text(), "wa.example.org");
    EXPECT_TRUE(copy.widget<QAbstractButton>("oClient")->isChecked());
    EXPECT_FALSE(copy.widget<QAbstractButton>("oServer")->isChecked());
    EXPECT_EQ(copy.widget<QTabWidget>("Tabek")->currentIndex(), 1);
    EXPECT_FALSE(copy.widget<QAbstractButton>("chSound")->isChecked());
    EXPECT_TRUE(copy.widget<QAbstractButton>("chPop")->isChecked());
    EXPECT_TRUE(copy.widget<QAbstractButton>("chFeedback")->isChecked());
    EXPECT_FALSE(copy.widget<QAbstractButton>("chAutoConnect")->isChecked());
    EXPECT_EQ(copy.widget<QLineEdit>("tNick")->maxLength(), 23);
    EXPECT_TRUE(copy.program->window().isVisible());
    EXPECT_EQ(copy.program->window().windowTitle(), "Squadlink v1.1.0");
}

TEST_F(ProgramWindow, BadStoredPlacesAreRepaired) {
    storeValue("LastTab", "9");
    storeValue("Left", "-5000");
    Copy copy("127.0.0.11");
    ASSERT_TRUE(copy.program->start({}));
    EXPECT_EQ(copy.widget<QTabWidget>("Tabek")->currentIndex(), 0);
    EXPECT_EQ(stored("LastTab"), "0");
    const QRect area = QApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(copy.program->model().frmSQD.left(), area.left());
    EXPECT_EQ(copy.program->window().x(), area.left());
}

TEST_F(ProgramWindow, ShutDownStoresPlaceNickAndServer) {
    Copy copy("127.0.0.11");
    ASSERT_TRUE(copy.program->start({}));
    copy.program->window().move(120, 80);
    QApplication::processEvents();
    auto* nick = copy.widget<QLineEdit>("tNick");
    nick->setFocus();
    QTest::keyClicks(nick, "Hawk");
    auto* server = copy.widget<QLineEdit>("tServer");
    QTest::keyClicks(server, "10.1.2.3");
    copy.program->window().close();
    EXPECT_TRUE(copy.program->form().ended());
    EXPECT_EQ(stored("Nick"), "Hawk");
    EXPECT_EQ(stored("Server"), "10.1.2.3");
    EXPECT_EQ(stored("Left"), QString::number(copy.program->model().frmSQD.left() * 15));
    EXPECT_EQ(stored("Top"), QString::number(copy.program->model().frmSQD.top() * 15));
    EXPECT_FALSE(stored("Left").isEmpty());
}

TEST_F(ProgramWindow, WindowPutDownNearAnEdgeIsPulledAgainstIt) {
    Copy copy("127.0.0.11");
    ASSERT_TRUE(copy.program->start({}));
    auto& window = copy.program->window();
    const QRect area = QApplication::primaryScreen()->availableGeometry();
    auto settled = [&] {
        EXPECT_TRUE(waitFor([&] { return copy.program->edgeSnapper().moveInProgress(); }));
        return waitFor([&] { return !copy.program->edgeSnapper().moveInProgress(); });
    };

    window.move(area.left() + 200, area.top() + 150);
    ASSERT_TRUE(settled());
    EXPECT_EQ(window.pos(), QPoint(area.left() + 200, area.top() + 150));

    window.move(area.left() + 12, area.top() + 150);
    ASSERT_TRUE(settled());
    EXPECT_TRUE(waitFor([&] { return window.x() == area.left(); }));
    EXPECT_EQ(window.y(), area.top() + 150);
    EXPECT_EQ(copy.program->model().frmSQD.left(), area.left());
}

TEST_F(ProgramWindow, ArrangerAndFighterWindowsConnectAndKickOverLoopback) {
    FakeSettings arrangerStore;
    arrangerStore.values = {{"ServerMode", "True"}, {"ClientMode", "False"}, {"Nick", "Boss"}};
    FakeSettings fighterStore;
    fighterStore.values = {{"Nick", "Viper"}};
    Copy arranger("127.0.0.2", &arrangerStore);
    Copy fighter("127.0.0.11", &fighterStore);
    ASSERT_TRUE(arranger.program->start({}));
    ASSERT_TRUE(fighter.program->start({}));

    auto* address = fighter.widget<QLineEdit>("tServer");
    address->setFocus();
    QTest::keyClicks(address, "127.0.0.2");
    QTest::mouseClick(fighter.widget<QPushButton>("coConnect"), Qt::LeftButton);

    auto* roster = arranger.widget<QListWidget>("lbFighters");
    ASSERT_TRUE(waitFor([&] { return roster->count() == 1; }));
    EXPECT_TRUE(roster->item(0)->text().startsWith("Viper\t127.0.0.11\t"));
    EXPECT_TRUE(roster->item(0)->text().endsWith("???? ms"));
    ASSERT_TRUE(
        waitFor([&] { return fighter.program->form().state().sArrangerAddress == "127.0.0.2"; }));
    EXPECT_TRUE(fighter.widget<QWidget>("imgStatusOn")->isVisibleTo(&fighter.program->window()));

    // Right click on the row, then Kick from the roster menu.
    arranger.widget<QTabWidget>("Tabek")->setCurrentIndex(2);
    const QRect row = roster->visualItemRect(roster->item(0));
    QTest::mousePress(roster->viewport(), Qt::RightButton, {}, row.center());
    QTest::mouseRelease(roster->viewport(), Qt::RightButton, {}, row.center());
    auto* kick = arranger.program->window().findChild<QAction*>("mKick");
    ASSERT_NE(kick, nullptr);
    EXPECT_TRUE(kick->isVisible());
    arranger.boxes.answers = {mb::Yes};
    kick->trigger();
    EXPECT_EQ(roster->count(), 0);

    auto* chat = fighter.widget<QTextBrowser>("rtb");
    ASSERT_TRUE(waitFor([&] { return chat->toPlainText().contains("You were kicked or banned"); }));
    EXPECT_TRUE(fighter.program->form().state().sArrangerAddress.empty());
    EXPECT_FALSE(arranger.program->form().ended());
    EXPECT_FALSE(fighter.program->form().ended());
}

// Another program (here a second War Arranger that is not this user's copy) already holds the
// port: the user is told why, and the copy ends instead of running without a link.
TEST_F(ProgramWindow, PortAlreadyInUseIsExplainedAndEndsTheCopy) {
    FakeSettings firstStore;
    firstStore.values = {{"ServerMode", "True"}, {"ClientMode", "False"}};
    FakeSettings secondStore = firstStore;
    Copy first("127.0.0.2", &firstStore);
    ASSERT_TRUE(first.program->start({}));
    Copy second("127.0.0.2", &secondStore);
    second.program->start({});
    EXPECT_TRUE(second.boxes.anyContains("Ports needed by Squadlink are in use"));
    EXPECT_TRUE(second.program->quitRequested());
    EXPECT_FALSE(second.program->window().isVisible());
    EXPECT_FALSE(first.program->form().ended());
}

}  // namespace
