#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <string>

#include "Program.h"
#include "support/FakeServices.h"
#include "support/FakeShellServices.h"
#include "support/LoopbackGameServer.h"
#include "support/ProgramCopy.h"
#include "support/WaitFor.h"

using namespace squadlink;
using squadlink::test::LoopbackGameServer;
using squadlink::test::waitFor;

namespace {

// One copy with its real window, socket and clock; dialogs, sounds, the store and the
// hand-over channel are fakes.
struct Window : test::ProgramCopy {
    Window(const std::string& bindAddress, bool arranger, const std::string& nick)
        : ProgramCopy(bindAddress) {
        settings.values = {{"ServerMode", arranger ? "True" : "False"},
                           {"ClientMode", arranger ? "False" : "True"},
                           {"Nick", nick}};
        create();
    }
    QString text(const char* label) { return widget<QLabel>(label)->text(); }
    void click(const char* button) {
        QTest::mouseClick(widget<QPushButton>(button), Qt::LeftButton);
    }
    // The shared action lock lets the next Scan, Ping or Send through after half a second.
    void waitForActionLock() {
        waitFor([this] { return !program->model().tFlood.running(); }, 2000);
    }
};

int pingShown(const QString& label) {
    return label.section(QLatin1Char(' '), 0, 0).toInt();
}

}  // namespace

TEST(GameServerWindow, ScanShowsTheServerOnceAndEnterScansAgain) {
    LoopbackGameServer server;
    ASSERT_TRUE(server.bound());
    server.answer = LoopbackGameServer::Answer::Both;
    Window arranger("127.0.0.2", true, "Boss");
    ASSERT_TRUE(arranger.program->start({}));

    auto* game = arranger.widget<QLineEdit>("tGame");
    game->setFocus();
    QTest::keyClicks(game, "127.0.0.30");
    arranger.click("coScan");
    ASSERT_TRUE(waitFor([&] { return !arranger.text("lGameName").isEmpty(); }));
    // The server sent both replies; whichever was handled first filled the details, and the
    // other changed nothing.
    const QString type = arranger.text("lServerType");
    EXPECT_TRUE(type == "Linux dedicated server" || type == "Windows dedicated server")
        << type.toStdString();
    QTest::qWait(100);
    EXPECT_EQ(arranger.text("lServerType"), type);
    EXPECT_EQ(arranger.text("lGameName"), "Clan War Server");
    EXPECT_EQ(arranger.text("lMapPlayers"), "de_dust2 (5 / 12)");
    EXPECT_EQ(arranger.text("lGameSecure"), "Valve Anti-Cheat (VAC)");
    EXPECT_TRUE(arranger.text("lServerPing").endsWith(" ms"));
    EXPECT_FALSE(arranger.widget<QLabel>("imgServerType")->pixmap().isNull());
    EXPECT_EQ(arranger.settings.values["Game"], "127.0.0.30");
    EXPECT_EQ(server.queries.size(), 1U);

    // Typing into the address drops the scan; Enter scans again, now answered after a
    // challenge with today's reply only.
    arranger.waitForActionLock();
    server.answer = LoopbackGameServer::Answer::ChallengeThenInfo;
    QTest::keyClicks(game, ":27015");
    EXPECT_TRUE(arranger.text("lGameName").isEmpty());
    QTest::keyClick(game, Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return !arranger.text("lGameName").isEmpty(); }));
    EXPECT_EQ(arranger.text("lServerType"), "Windows dedicated server");
    EXPECT_EQ(server.queries.size(), 3U);
    EXPECT_TRUE(arranger.boxes.shown.empty());
}

TEST(GameServerWindow, ScanOfAWrongPortNeverReachesTheSocket) {
    LoopbackGameServer server;
    Window arranger("127.0.0.2", true, "Boss");
    ASSERT_TRUE(arranger.program->start({}));
    auto* game = arranger.widget<QLineEdit>("tGame");
    game->setFocus();
    QTest::keyClicks(game, "127.0.0.30:99999");
    QTest::keyClick(game, Qt::Key_Return);
    EXPECT_TRUE(game->text().isEmpty());
    QTest::qWait(100);
    EXPECT_TRUE(server.queries.empty());
    EXPECT_FALSE(arranger.program->form().ended());
}

TEST(GameServerWindow, FighterPingsWithTheRightRoundTripAndReportsIt) {
    LoopbackGameServer server;
    server.answer = LoopbackGameServer::Answer::Info;
    Window arranger("127.0.0.2", true, "Boss");
    Window fighter("127.0.0.11", false, "Viper");
    ASSERT_TRUE(arranger.program->start({}));
    ASSERT_TRUE(fighter.program->start({}));

    auto* game = arranger.widget<QLineEdit>("tGame");
    game->setFocus();
    QTest::keyClicks(game, "127.0.0.30");
    arranger.click("coScan");
    ASSERT_TRUE(waitFor([&] { return !arranger.text("lGameName").isEmpty(); }));

    auto* address = fighter.widget<QLineEdit>("tServer");
    address->setFocus();
    QTest::keyClicks(address, "127.0.0.2");
    fighter.click("coConnect");
    auto* roster = arranger.widget<QListWidget>("lbFighters");
    ASSERT_TRUE(waitFor([&] { return roster->count() == 1; }));
    ASSERT_TRUE(waitFor([&] { return fighter.text("lServer") == "127.0.0.30"; }));
    EXPECT_EQ(fighter.text("lProtection"), "Valve Anti-Cheat (VAC)");

    // A server that answers 100 ms late shows 108 ms: the factor applied to a round trip in
    // milliseconds. A busy machine only ever adds to it.
    server.delayMs = 100;
    fighter.waitForActionLock();
    fighter.click("coPingGame");
    ASSERT_TRUE(waitFor([&] { return !fighter.text("lClientPing").isEmpty(); }));
    const int ping = pingShown(fighter.text("lClientPing"));
    EXPECT_GE(ping, 107);
    EXPECT_LE(ping, 160);

    fighter.click("coSendPing");
    ASSERT_TRUE(waitFor([&] {
        return roster->item(0)->text().endsWith(QString::number(ping) + QStringLiteral(" ms"));
    }));
    ASSERT_TRUE(waitFor([&] { return fighter.boxes.anyContains("was reported"); }));
    fighter.click("coSendPing");
    EXPECT_TRUE(fighter.boxes.anyContains("Current game ping was already reported"));
}
