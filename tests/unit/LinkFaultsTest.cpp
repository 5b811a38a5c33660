#include <gtest/gtest.h>

#include <algorithm>

#include "link/Codec.h"
#include "support/LinkRig.h"

using namespace squadlink;
using namespace std::string_literals;

namespace {

constexpr const char* kArranger = "192.168.1.2";
constexpr const char* kStranger = "10.66.66.66";

class ConnectedFighter : public ::testing::Test {
protected:
    void SetUp() override {
        rig.startFighter("Viper");
        rig.connectTo(kArranger, "1\0"s);
        ASSERT_EQ(rig.state.sArrangerAddress, kArranger);
        rig.socket.sent.clear();
        rig.boxes.shown.clear();
        rig.chat.lines.clear();
        rig.attention.requests.clear();
    }
    FakeLinkRig rig;
};

// A peer sending box-raising datagrams faster than anybody presses OK.
TEST_F(ConnectedFighter, BoxStormNeverStacksBoxesAndShowsTheLatestAfterwards) {
    std::size_t shownWhileOpen = 0;
    rig.boxes.whileOpen = [&] {
        const std::size_t before = rig.boxes.shown.size();
        for (int i = 0; i < 30; ++i) {
            rig.deliver(i % 2 == 0 ? "7\0"s : "5\0"s, kArranger);
        }
        rig.deliver("8\0"s, kArranger);
        shownWhileOpen = rig.boxes.shown.size() - before;
    };
    rig.deliver("5\0"s, kArranger);
    EXPECT_EQ(shownWhileOpen, 0u);
    // The open box, then the latest of the held ones; nothing else.
    ASSERT_EQ(rig.boxes.shown.size(), 2u);
    EXPECT_NE(rig.boxes.shown[0].text.find("Already connected"), std::string::npos);
    EXPECT_NE(rig.boxes.shown[1].text.find("You have outdated game info"), std::string::npos);
    // The handling itself went on underneath: every "5" asked for attention.
    EXPECT_EQ(rig.attention.requests.size(), 16u);
    EXPECT_EQ(rig.messages.openBoxes(), 0);
}

TEST_F(ConnectedFighter, QuestionRaisedByTheNetworkUnderAnOpenBoxTakesItsSafeAnswer) {
    rig.boxes.answers = {mb::Ok, mb::Yes};
    rig.boxes.whileOpen = [&] { rig.deliver("D\0"s + kArranger + "\0"s, "192.168.1.77"); };
    rig.deliver("5\0"s, kArranger);
    // The move is taken in (address box, lamp, event line) but nobody was asked to reconnect,
    // so nothing was sent.
    EXPECT_EQ(rig.ui.tServer.text(), "192.168.1.77");
    EXPECT_TRUE(rig.chat.has("[event] War Arranger closed connection"));
    EXPECT_EQ(rig.sentCount(), 0u);
    EXPECT_EQ(rig.boxes.shown.size(), 1u);
}

TEST_F(ConnectedFighter, ShutDownWhileAQuestionIsOpenRunsNothingAfterIt) {
    // A Qt box closed by the ending event loop used to answer OK, taken as "not No".
    rig.boxes.answers = {mb::Yes};
    rig.boxes.whileOpen = [&] {
        try {
            rig.lifecycle.unloadAndEnd();
        } catch (const ProgramEnd&) {
        }
    };
    rig.timers.advance(600);
    rig.ui.tServer.setText("192.168.1.3");
    rig.guard.run([&] { rig.link->fighter().coConnect_Click(); });
    EXPECT_EQ(rig.sentCount(), 0u);
    EXPECT_EQ(rig.state.sArrangerAddress, kArranger);
}

TEST_F(ConnectedFighter, AcceptanceIsTakenOnlyAsTheAnswerToOwnJoin) {
    // Unasked, from a stranger or from the War Arranger itself: ignored.
    rig.deliver(
        "1\0"
        "6.6.6.6:27015\0v\0evil\0"s,
        kStranger);
    rig.deliver("1\0"s, kArranger);
    EXPECT_EQ(rig.state.sArrangerAddress, kArranger);
    EXPECT_EQ(rig.ui.lServer.caption(), "");
    EXPECT_TRUE(rig.chat.lines.empty());

    // After a join of its own, the answer may come from another address of the War Arranger.
    FakeLinkRig other;
    other.startFighter("Viper");
    other.ui.tServer.setText("wa.example.org");
    other.link->fighter().coConnect_Click();
    other.deliver("1\0"s, "192.168.1.50");
    EXPECT_EQ(other.state.sArrangerAddress, "192.168.1.50");
    // Only once.
    other.deliver("1\0"s, kStranger);
    EXPECT_EQ(other.state.sArrangerAddress, "192.168.1.50");

    // An answer that comes after the reply window is not taken either.
    FakeLinkRig late;
    late.startFighter("Viper");
    late.ui.tServer.setText(kArranger);
    late.link->fighter().coConnect_Click();
    late.clock.ms += FighterSide::kJoinReplyWindowMs + 1;
    late.deliver("1\0"s, kArranger);
    EXPECT_TRUE(late.state.sArrangerAddress.empty());
}

TEST_F(ConnectedFighter, AcknowledgementsOfPingReportsStopTheReplyTimeout) {
    for (const char code : {'7', '8', 'E'}) {
        rig.ui.tTimeout.restart();
        rig.deliver(std::string(1, code) + "\0"s, kArranger);
        EXPECT_FALSE(rig.ui.tTimeout.running()) << code;
        rig.timers.advance(31000);
        EXPECT_EQ(rig.state.sArrangerAddress, kArranger) << code;
    }
}

TEST_F(ConnectedFighter, ClickingFighterModeAgainKeepsTheConnection) {
    const int binds = rig.socket.bindCount();
    rig.ui.oClient.click();
    EXPECT_EQ(rig.state.sArrangerAddress, kArranger);
    EXPECT_EQ(rig.socket.bindCount(), binds);
    EXPECT_EQ(rig.sentCount(), 0u);
}

struct GameInfoCase {
    std::string text;
    bool parses;
    std::string server, protection, password;
};

TEST(ParseGameInfo, Table) {
    const GameInfoCase cases[] = {
        {"1.2.3.4:27015\0v\0pw\0"s, true, "1.2.3.4:27015", "Valve Anti-Cheat (VAC)", "pw"},
        {"1.2.3.4\0c\0\0"s, true, "1.2.3.4", "Cheating-Death (C-D)", ""},
        // Letter case does not matter.
        {"1.2.3.4\0C\0x\0"s, true, "1.2.3.4", "Cheating-Death (C-D)", "x"},
        {"1.2.3.4\0V\0x\0"s, true, "1.2.3.4", "Valve Anti-Cheat (VAC)", "x"},
        // An unknown protection is shown as it came.
        {"1.2.3.4\0q\0x\0"s, true, "1.2.3.4", "q", "x"},
        // A password without its NUL was cut short: no password.
        {"1.2.3.4\0v\0secret"s, true, "1.2.3.4", "Valve Anti-Cheat (VAC)", ""},
        {"1.2.3.4\0v\0"s, true, "1.2.3.4", "Valve Anti-Cheat (VAC)", ""},
        // Failures.
        {"1.2.3.4\0\0\0pw\0"s, false, "", "", ""},
        {"1.2.3.4\0vv\0pw\0"s, false, "", "", ""},
        {"ab\0v\0pw\0"s, false, "", "", ""},
        {"1.2.3.4\0v"s, false, "", "", ""},
        {"1.2.3.4"s, false, "", "", ""},
    };
    for (const auto& c : cases) {
        FakeLinkRig rig;
        rig.startFighter();
        EXPECT_EQ(rig.link->fighter().ParseGameInfo(c.text), c.parses) << c.server;
        EXPECT_EQ(rig.ui.lServer.caption(), c.server);
        EXPECT_EQ(rig.ui.lProtection.caption(), c.protection);
        EXPECT_EQ(rig.ui.lPassword.caption(), c.password);
    }
}

TEST(NewGameInfo, EmptyProtectionIsNotAcknowledged) {
    FakeLinkRig rig;
    rig.startFighter();
    rig.connectTo(kArranger, "1\0"s);
    rig.socket.sent.clear();
    rig.deliver(
        "2\0"
        "1.2.3.4\0\0\0pw\0"s,
        kArranger);
    EXPECT_EQ(rig.sentCount(), 0u);
    EXPECT_EQ(rig.ui.lServer.caption(), "");
}

class ArrangerWithFighters : public ::testing::Test {
protected:
    void SetUp() override {
        rig.startArranger("Boss");
        for (int n = 1; n <= 4; ++n) {
            rig.join("F" + std::to_string(n), address(n));
        }
        rig.socket.sent.clear();
        rig.boxes.shown.clear();
    }
    static std::string address(int n) { return "10.0.0." + std::to_string(n); }
    std::vector<std::string> sentTo(const std::string& plain) {
        std::vector<std::string> hosts;
        for (int i = 0; i < static_cast<int>(rig.sentCount()); ++i) {
            if (rig.sentPlain(i) == plain) {
                hosts.push_back(rig.socket.sent[static_cast<std::size_t>(i)].host);
            }
        }
        return hosts;
    }
    FakeLinkRig rig;
};

TEST_F(ArrangerWithFighters, LeaveStormWithFeedbackShowsOneBoxAtATime) {
    rig.ui.chFeedback.setValue(1);
    std::size_t shownWhileOpen = 0;
    rig.boxes.whileOpen = [&] {
        const std::size_t before = rig.boxes.shown.size();
        for (int n = 2; n <= 4; ++n) {
            rig.deliver("4\0"s, address(n));
        }
        shownWhileOpen = rig.boxes.shown.size() - before;
    };
    rig.deliver("4\0"s, address(1));
    EXPECT_EQ(shownWhileOpen, 0u);
    EXPECT_TRUE(rig.ui.lbFighters.empty());
    ASSERT_EQ(rig.boxes.shown.size(), 2u);
    EXPECT_NE(rig.boxes.shown[1].text.find("F4"), std::string::npos);
}

TEST_F(ArrangerWithFighters, ClickingArrangerModeAgainKeepsTheRoster) {
    rig.ui.oServer.click();
    EXPECT_EQ(rig.ui.lbFighters.listCount(), 4);
    EXPECT_EQ(rig.sentCount(), 0u);
}

TEST_F(ArrangerWithFighters, ConnectionResetWhileAnsweringRebindsAndSaysSo) {
    const int binds = rig.socket.bindCount();
    rig.socket.failingHosts[address(2)] = err::ConnectionReset;
    rig.deliver("5\0"s, address(2));
    EXPECT_EQ(rig.socket.bindCount(), binds + 1);
    EXPECT_EQ(rig.socket.boundPort(), 27220);
    EXPECT_TRUE(
        rig.boxes.anyContains("Connection reset occured due to invalid connection attempt"));
    EXPECT_FALSE(rig.lifecycle.ended());
}

TEST_F(ArrangerWithFighters, KickGoesOnPastAFailedSend) {
    rig.ui.lbFighters.selectNone();
    for (int i = 0; i < 4; ++i) {
        rig.ui.lbFighters.setSelected(i, true);
    }
    rig.socket.failingHosts[address(1)] = err::HostUnreachable;
    rig.boxes.answers = {mb::Yes};
    const int pumps = rig.pump.calls;
    rig.link->kickBan().coKick_Click();
    EXPECT_TRUE(rig.ui.lbFighters.empty());
    EXPECT_EQ(sentTo("4\0"s).size(), 3u);
    // Events run after each delivered kick only.
    EXPECT_EQ(rig.pump.calls - pumps, 3);
    EXPECT_FALSE(rig.lifecycle.ended());
    EXPECT_EQ(rig.boxes.shown.size(), 1u);
}

TEST_F(ArrangerWithFighters, CloseAllFightersGoesOnPastAFailedSend) {
    rig.socket.failingHosts[address(2)] = err::BadAddress;
    rig.socket.failingHosts[address(3)] = err::HostUnreachable;
    rig.link->arranger().CloseAllFighters(false, {});
    EXPECT_EQ(sentTo("3\0"s), (std::vector<std::string>{address(1), address(4)}));
    EXPECT_TRUE(rig.ui.lbFighters.empty());
    EXPECT_TRUE(rig.boxes.shown.empty());
    EXPECT_FALSE(rig.lifecycle.ended());
}

TEST_F(ArrangerWithFighters, RefreshWithThePortTakenEndsWithTheExplanation) {
    rig.boxes.answers = {mb::Yes};
    rig.socket.failNextBind = err::AddressInUse;
    rig.guard.run([&] { rig.link->arranger().coRefresh_Click(); });
    EXPECT_TRUE(rig.boxes.anyContains("Ports needed by Squadlink are in use"));
    EXPECT_EQ(rig.lifecycle.ends, 1);
}

TEST(WhoAnswer, FullRosterOfLongNicksStaysWithinWhatFightersTakeAndSaysWhoIsMissing) {
    FakeLinkRig arranger;
    arranger.startArranger(std::string(23, 'B'));
    for (int n = 0; n < 10; ++n) {
        arranger.join(std::string(22, 'a') + std::to_string(n),
                      "192.168.100." + std::to_string(100 + n));
    }
    arranger.socket.sent.clear();
    arranger.deliver("5\0"s, "192.168.100.100");
    const std::string answer = arranger.sentPlain(-1);
    ASSERT_EQ(answer.substr(0, 2), "9\0"s);
    EXPECT_LE(answer.size(), 380u);
    EXPECT_EQ(answer.substr(2, 3), "11\0"s);
    // The War Arranger himself always comes last.
    EXPECT_NE(answer.find(std::string(23, 'B') + "\0"s + "192.168.1.10\0"s), std::string::npos);

    FakeLinkRig fighter;
    fighter.startFighter();
    fighter.connectTo(kArranger, "1\0"s);
    fighter.chat.lines.clear();
    fighter.deliver(answer, kArranger);
    ASSERT_EQ(fighter.chat.lines.size(), 2u);
    const int listed = static_cast<int>(std::count(answer.begin(), answer.end(), '\0') - 2) / 2;
    EXPECT_NE(fighter.chat.lines[1].find(std::to_string(11 - listed) + " more not listed"),
              std::string::npos)
        << fighter.chat.lines[1];

    // The whole list of another War Arranger (445 characters) is shown too.
    std::string whole =
        "9\0"
        "11\0"s;
    for (int n = 0; n < 11; ++n) {
        whole += std::string(23, 'x') + "\0"s + "192.168.100.1" + std::to_string(10 + n) + "\0"s;
    }
    fighter.chat.lines.clear();
    fighter.deliver(whole, kArranger);
    ASSERT_EQ(fighter.chat.lines.size(), 1u) << fighter.chat.lines.back();
}

TEST(TextLimits, TheModelHoldsWhatTheBoxShows) {
    FakeLinkRig rig;
    rig.ui.tNick.setMaxLength(23);
    rig.ui.tServer.setMaxLength(34);
    rig.startFighter(std::string(300, 'n'));
    EXPECT_EQ(rig.ui.tNick.text(), std::string(23, 'n'));
    rig.ui.tServer.setText("192.168.1.2" + std::string(131000, 'x'));
    EXPECT_EQ(rig.ui.tServer.text().size(), 34u);
    rig.ui.tServer.setText(kArranger);
    rig.link->fighter().coConnect_Click();
    EXPECT_EQ(rig.sentPlain(0), "1\0"s + std::string(23, 'n') + "\0"s);

    // A limit set on a longer text shortens it, as the box does.
    TextBox box("tTest");
    box.setText("abcdef");
    int changes = 0;
    box.Change.connect([&] { ++changes; });
    box.setMaxLength(4);
    EXPECT_EQ(box.text(), "abcd");
    EXPECT_EQ(changes, 1);
}

}  // namespace
