#include <gtest/gtest.h>

#include "link/Codec.h"
#include "link/Roster.h"
#include "support/LinkRig.h"

using namespace squadlink;
using namespace std::string_literals;

namespace {

class ArrangerSide_ : public ::testing::Test {
protected:
    void SetUp() override { rig.startArranger("Boss"); }
    std::string fighterIp(int n) const { return "10.0.0." + std::to_string(n); }
    FakeLinkRig rig;
    ListBox& roster() { return rig.ui.lbFighters; }
};

TEST_F(ArrangerSide_, EnteringTheModeBindsTheArrangerPortAndSetsTheTabs) {
    EXPECT_EQ(rig.socket.boundPort(), 27220);
    EXPECT_EQ(rig.state.sNick, "Boss");
    EXPECT_EQ(rig.settingsBackend.values["Nick"], "Boss");
    EXPECT_EQ(rig.ui.lWAAddress.caption(), "192.168.1.10");
    EXPECT_EQ(rig.ui.lUserIP.caption(), "IP: 192.168.1.10");
    EXPECT_EQ(rig.ui.lCompName.caption(), "Computer name: arranger-pc");
    EXPECT_FALSE(rig.ui.Tabek.tabEnabled(tab::Fighter));
    EXPECT_TRUE(rig.ui.Tabek.tabEnabled(tab::Connections));
    EXPECT_FALSE(rig.ui.chAutoConnect.enabled());
}

TEST_F(ArrangerSide_, EmptyNickBoxBecomesWarArranger) {
    FakeLinkRig other;
    other.settingsBackend.values["Game"] = "cs.example.org:27016";
    other.startArranger("");
    EXPECT_EQ(other.state.sNick, "War Arranger");
    EXPECT_EQ(other.ui.tGame.text(), "cs.example.org:27016");
}

TEST_F(ArrangerSide_, JoinAddsEntryAndAnswersWithGameInfoWhenKnown) {
    rig.join("Viper", fighterIp(1));
    ASSERT_EQ(roster().listCount(), 1);
    EXPECT_EQ(roster().list(0), "Viper\t10.0.0.1\t???? ms");
    EXPECT_EQ(roster().itemData(0), 0);
    EXPECT_TRUE(roster().selected(0));
    EXPECT_EQ(rig.sentPlain(-1), "1\0"s);
    EXPECT_EQ(rig.socket.sent.back().host, "10.0.0.1");
    EXPECT_EQ(rig.socket.sent.back().port, 27221);
    EXPECT_TRUE(rig.chat.has("[event] Viper (IP: 10.0.0.1) connected"));
    EXPECT_EQ(rig.attention.requests.back(), std::make_pair(2, 102));

    rig.setGameInfo("1.2.3.4:27015", "secret", true);
    rig.join("Hawk", fighterIp(2));
    EXPECT_EQ(rig.sentPlain(-1),
              "1\0"s
              "1.2.3.4:27015\0"s
              "c\0"s
              "secret\0"s);
}

TEST_F(ArrangerSide_, JoinRefusals) {
    rig.join("Viper", fighterIp(1));
    rig.deliver(
        "2\0"s
        "45\0"s
        "x.y\0"s,
        fighterIp(1));  // changes nothing we check below
    const std::string before = roster().list(0);
    rig.join("Other", fighterIp(1));
    EXPECT_EQ(rig.sentPlain(-1), "5\0"s);
    EXPECT_EQ(roster().listCount(), 1);
    EXPECT_EQ(roster().list(0), before);

    for (int n = 2; n <= 10; ++n) {
        rig.join("F" + std::to_string(n), fighterIp(n));
    }
    ASSERT_EQ(roster().listCount(), 10);
    rig.join("Eleven", fighterIp(11));
    EXPECT_EQ(rig.sentPlain(-1), "6\0"s);
    // The slot check comes before the nick match.
    rig.join("VIPER", fighterIp(12));
    EXPECT_EQ(rig.sentPlain(-1), "6\0"s);
    EXPECT_EQ(roster().listCount(), 10);

    // Empty nick or no terminating NUL: no entry, no answer.
    FakeLinkRig fresh;
    fresh.startArranger();
    fresh.deliver("1\0\0x"s, fighterIp(1));
    fresh.deliver("1\0abc"s, fighterIp(1));
    EXPECT_EQ(fresh.ui.lbFighters.listCount(), 0);
    EXPECT_EQ(fresh.sentCount(), 0u);
}

TEST_F(ArrangerSide_, RejoinUnderSameNickFromNewAddressReplacesEntryAndKeepsFlag) {
    rig.join("VIPER", fighterIp(1));
    roster().setItemData(0, 1);
    rig.join("Viper", fighterIp(5));
    ASSERT_EQ(roster().listCount(), 1);
    EXPECT_EQ(roster().list(0), "Viper\t10.0.0.5\t???? ms");
    EXPECT_EQ(roster().itemData(0), 1);
    EXPECT_TRUE(rig.chat.has("[event] Viper (IP: 10.0.0.5) reconnected"));
}

TEST_F(ArrangerSide_, NickWithTabCannotShiftTheRosterColumns) {
    rig.join("a\tb", fighterIp(1));
    EXPECT_EQ(roster::address(roster().list(0)), "10.0.0.1");
    rig.deliver("4\0"s, fighterIp(1));
    EXPECT_EQ(roster().listCount(), 0);
}

TEST_F(ArrangerSide_, PingReports) {
    rig.setGameInfo("1.2.3.4:27015", "pw", false);
    rig.join("Viper", fighterIp(1));
    rig.deliver(
        "2\0"s
        "45\0"s
        "1.2.3.4:27015\0"s,
        fighterIp(1));
    EXPECT_EQ(roster().list(0), "Viper\t10.0.0.1\t    45 ms");
    EXPECT_EQ(rig.sentPlain(-1), "7\0"s);
    EXPECT_EQ(rig.attention.requests.back(), std::make_pair(2, 103));

    rig.deliver(
        "2\0"s
        "45\0"s
        "5.6.7.8:27015\0"s,
        fighterIp(1));
    EXPECT_EQ(rig.sentPlain(-1), "8\0"s);
    EXPECT_EQ(roster().list(0), "Viper\t10.0.0.1\t    45 ms");

    // Too short for the window: ignored without an answer.
    const auto sent = rig.sentCount();
    rig.deliver("2\0"s, fighterIp(1));
    EXPECT_EQ(rig.sentCount(), sent);

    // A long ping text from a hostile peer must not end the program.
    rig.deliver(
        "2\0"s
        "123456789\0"s
        "1.2.3.4:27015\0"s,
        fighterIp(1));
    EXPECT_EQ(roster().list(0), "Viper\t10.0.0.1\t123456789 ms");
    EXPECT_FALSE(rig.lifecycle.ended());
}

TEST_F(ArrangerSide_, AcknowledgementLeaveAndWho) {
    rig.ui.chFeedback.setValue(1);
    for (int n = 1; n <= 3; ++n) {
        rig.join("F" + std::to_string(n), fighterIp(n));
    }
    rig.deliver("3\0"s, fighterIp(2));
    EXPECT_EQ(roster().itemData(1), 1);
    EXPECT_EQ(roster().itemData(0), 0);

    rig.deliver("5\0"s, fighterIp(3));
    EXPECT_EQ(rig.sentPlain(-1),
              "9\0"s
              "4\0"s
              "F1\0"s
              "10.0.0.1\0"s
              "F2\0"s
              "10.0.0.2\0"s
              "F3\0"s
              "10.0.0.3\0"s
              "Boss\0"s
              "192.168.1.10\0"s);

    rig.deliver("4\0"s, fighterIp(2));
    EXPECT_EQ(roster().listCount(), 2);
    EXPECT_TRUE(rig.chat.has("[event] F2 (IP: 10.0.0.2) left the server"));
    EXPECT_TRUE(rig.boxes.anyContains("F2 (IP: 10.0.0.2) left the server"));
    EXPECT_EQ(rig.attention.requests.back(), std::make_pair(2, 104));
}

TEST_F(ArrangerSide_, WhoWithEmptyRosterCannotBeAskedButOutsidersAreIgnored) {
    rig.deliver("5\0"s, fighterIp(1));
    rig.deliver("7\0hi\0"s, fighterIp(1));
    EXPECT_EQ(rig.sentCount(), 0u);
}

TEST_F(ArrangerSide_, ChatIsShownAcknowledgedAndRelayedToEveryoneElse) {
    for (int n = 1; n <= 3; ++n) {
        rig.join("F" + std::to_string(n), fighterIp(n));
    }
    rig.socket.sent.clear();
    rig.deliver("7\0hello all\0"s, fighterIp(2));
    EXPECT_TRUE(rig.chat.has("[normal] F2: hello all"));
    EXPECT_EQ(rig.attention.chatNotifications, 1);
    ASSERT_EQ(rig.sentCount(), 3u);
    EXPECT_EQ(rig.sentPlain(0), "E\0"s);
    EXPECT_EQ(rig.socket.sent[0].host, "10.0.0.2");
    EXPECT_EQ(rig.sentPlain(1), "B\0F2\0hello all\0"s);
    EXPECT_EQ(rig.socket.sent[1].host, "10.0.0.1");
    EXPECT_EQ(rig.socket.sent[2].host, "10.0.0.3");

    rig.deliver("6\0waves\0"s, fighterIp(1));
    EXPECT_TRUE(rig.chat.has("[action] F1: waves"));
    EXPECT_EQ(rig.sentPlain(-1), "A\0F1\0waves\0"s);
    rig.deliver(
        "8\0"s
        "170\0"s,
        fighterIp(3));
    EXPECT_TRUE(rig.chat.has("[score] F3: 170"));
    EXPECT_EQ(rig.sentPlain(-1),
              "C\0F3\0"s
              "170\0"s);
}

TEST_F(ArrangerSide_, SendGameInfo) {
    rig.link->arranger().coSendInfo_Click();
    EXPECT_TRUE(rig.boxes.anyContains("Game info in unknown"));
    rig.setGameInfo("1.2.3.4:27015", "", false);
    rig.link->arranger().coSendInfo_Click();
    EXPECT_TRUE(rig.boxes.anyContains("No Fighters connected yet"));

    rig.join("F1", fighterIp(1));
    rig.join("F2", fighterIp(2));
    roster().setItemData(0, 1);
    rig.socket.sent.clear();
    // Empty password, answered No: nothing sent, no time-out, but the lock was taken.
    rig.link->arranger().coSendInfo_Click();
    EXPECT_EQ(rig.sentCount(), 0u);
    EXPECT_FALSE(rig.ui.tTimeout.running());
    EXPECT_TRUE(rig.ui.tFlood.running());

    rig.timers.advance(600);
    rig.boxes.answers = {mb::Yes, mb::Ok};
    rig.link->arranger().coSendInfo_Click();
    ASSERT_EQ(rig.sentCount(), 2u);
    EXPECT_EQ(rig.sentPlain(0),
              "2\0"s
              "1.2.3.4:27015\0"s
              "v\0"s
              "\0"s);
    EXPECT_EQ(roster().itemData(0), 0);
    EXPECT_TRUE(rig.ui.tTimeout.running());
    EXPECT_TRUE(rig.boxes.anyContains("Sending game info to connected Fighter(s)"));
}

TEST_F(ArrangerSide_, SendFailureToOneFighterDropsItAndGoesOn) {
    rig.setGameInfo("1.2.3.4:27015", "pw", false);
    for (int n = 1; n <= 3; ++n) {
        rig.join("F" + std::to_string(n), fighterIp(n));
    }
    rig.socket.failingHosts["10.0.0.2"] = err::HostUnreachable;
    rig.socket.sent.clear();
    rig.link->arranger().coSendInfo_Click();
    EXPECT_EQ(rig.sentCount(), 2u);
    EXPECT_EQ(roster().listCount(), 2);
    EXPECT_EQ(roster::findByAddress(roster(), "10.0.0.2"), -1);
}

TEST_F(ArrangerSide_, DatagramArrivingMidWalkThatRemovesAnEntryKeepsTheWalkConsistent) {
    rig.setGameInfo("1.2.3.4:27015", "pw", false);
    for (int n = 1; n <= 4; ++n) {
        rig.join("F" + std::to_string(n), fighterIp(n));
    }
    rig.socket.sent.clear();
    // While events run after the first send, F1 (already served) and F3 (not yet) leave.
    bool fired = false;
    rig.socket.afterSend = [&](const FakeSocket::Sent&) {
        if (fired) {
            return;
        }
        fired = true;
        rig.pump.queued.push_back([&] { rig.deliver("4\0"s, fighterIp(1)); });
        rig.pump.queued.push_back([&] { rig.deliver("4\0"s, fighterIp(3)); });
    };
    rig.link->arranger().coSendInfo_Click();
    std::vector<std::string> hosts;
    for (const auto& sent : rig.socket.sent) {
        hosts.push_back(sent.host);
    }
    EXPECT_EQ(hosts, (std::vector<std::string>{"10.0.0.1", "10.0.0.2", "10.0.0.4"}));
    EXPECT_EQ(roster().listCount(), 2);
    EXPECT_FALSE(rig.lifecycle.ended());
    EXPECT_TRUE(rig.boxes.shown.size() >= 1);
    EXPECT_FALSE(rig.boxes.anyContains("Resetting"));
}

TEST_F(ArrangerSide_, RefreshRebindsAndTellsFightersOnlyWhenTheAddressChanged) {
    rig.join("F1", fighterIp(1));
    rig.socket.sent.clear();
    const int binds = rig.socket.bindCount();
    rig.boxes.answers = {mb::Yes};
    rig.link->arranger().coRefresh_Click();
    EXPECT_EQ(rig.socket.bindCount(), binds + 1);
    EXPECT_EQ(rig.sentCount(), 0u);
    EXPECT_EQ(roster().listCount(), 1);

    rig.boxes.answers = {mb::Yes};
    rig.socket.afterSend = nullptr;
    rig.pump.queued.push_back([&] { rig.socket.m_localIp = "192.168.1.77"; });
    rig.link->arranger().coRefresh_Click();
    ASSERT_EQ(rig.sentCount(), 1u);
    EXPECT_EQ(rig.sentPlain(0),
              "D\0"s
              "192.168.1.10\0"s);
    EXPECT_EQ(roster().listCount(), 0);
    EXPECT_EQ(rig.ui.lWAAddress.caption(), "192.168.1.77");
}

TEST_F(ArrangerSide_, LeavingForFighterModeClosesEveryFighter) {
    rig.join("F1", fighterIp(1));
    rig.join("F2", fighterIp(2));
    rig.socket.sent.clear();
    rig.ui.oClient.click();
    EXPECT_EQ(rig.sentCount(), 2u);
    EXPECT_EQ(rig.sentPlain(0), "3\0"s);
    EXPECT_EQ(roster().listCount(), 0);
    EXPECT_EQ(rig.socket.boundPort(), 27221);
    EXPECT_EQ(rig.settingsBackend.values["ClientMode"], "True");
    EXPECT_EQ(rig.settingsBackend.values["ServerMode"], "False");
}

TEST_F(ArrangerSide_, GameServerLookingDatagramIsUnscrambledAndIgnored) {
    rig.join("F1", fighterIp(1));
    const auto sent = rig.sentCount();
    rig.socket.deliver("\xFF\xFF\xFF\xFFj"s, fighterIp(1));
    EXPECT_EQ(rig.sentCount(), sent);
    EXPECT_EQ(roster().listCount(), 1);
}

}  // namespace
