#include <gtest/gtest.h>

#include "link/Codec.h"
#include "support/LinkRig.h"

using namespace squadlink;
using namespace std::string_literals;

namespace {

constexpr const char* kArranger = "192.168.1.2";

class FighterSide_ : public ::testing::Test {
protected:
    void SetUp() override {
        rig.settingsBackend.values["Server"] = "wa.example.org";
        rig.startFighter("Viper");
    }
    void connect(const std::string& plainAccept = "1\0"s) {
        rig.ui.tServer.setText(kArranger);
        rig.link->fighter().coConnect_Click();
        rig.deliver(plainAccept, kArranger);
        rig.timers.advance(600);
    }
    FakeLinkRig rig;
};

TEST_F(FighterSide_, EnteringTheModeRestoresTheAddressAndBindsTheFighterPort) {
    EXPECT_EQ(rig.socket.boundPort(), 27221);
    EXPECT_EQ(rig.ui.tServer.text(), "wa.example.org");
    EXPECT_TRUE(rig.ui.Tabek.tabEnabled(tab::Fighter));
    EXPECT_FALSE(rig.ui.Tabek.tabEnabled(tab::Game));
    EXPECT_TRUE(rig.ui.chAutoConnect.enabled());
    EXPECT_TRUE(rig.state.sNick.empty());
}

TEST_F(FighterSide_, ConnectSendsTheJoinToTheArrangerPort) {
    rig.ui.tServer.setText(kArranger);
    rig.link->fighter().coConnect_Click();
    ASSERT_EQ(rig.sentCount(), 1u);
    EXPECT_EQ(rig.sentPlain(0), "1\0Viper\0"s);
    EXPECT_EQ(rig.socket.sent[0].host, kArranger);
    EXPECT_EQ(rig.socket.sent[0].port, 27220);
    EXPECT_EQ(rig.state.sNick, "Viper");
    EXPECT_EQ(rig.settingsBackend.values["Nick"], "Viper");
    EXPECT_TRUE(rig.state.sArrangerAddress.empty());
}

TEST_F(FighterSide_, ConnectRefusals) {
    struct Case {
        std::string nick, address, message;
    };
    const Case cases[] = {
        {"", "192.168.1.2", "Specify your nick in Configuration tab first"},
        {"Viper", "ab", "War Arranger address invalid or not specified"},
        {"Viper", "LOCALHOST", "Connecting to yourself not possible"},
        {"Viper", "127.0.0.1", "Connecting to yourself not possible"},
        {"Viper", "192.168.1.10", "Connecting to yourself not possible"},
        {"Viper", "ARRANGER-PC", "Connecting to yourself not possible"},
    };
    for (const auto& c : cases) {
        FakeLinkRig fresh;
        fresh.startFighter(c.nick);
        fresh.ui.tServer.setText(c.address);
        fresh.link->fighter().coConnect_Click();
        EXPECT_EQ(fresh.sentCount(), 0u) << c.address;
        ASSERT_FALSE(fresh.boxes.shown.empty()) << c.address;
        EXPECT_EQ(fresh.boxes.shown.back().text, c.message + "   ");
        EXPECT_EQ(fresh.boxes.shown.back().caption, "Squadlink v1.1.0 - Warning");
        EXPECT_EQ(fresh.boxes.shown.back().flags, mb::Warning);
    }
}

TEST_F(FighterSide_, SecondConnectWithinHalfASecondIsRefusedByTheLock) {
    rig.ui.tServer.setText(kArranger);
    rig.link->fighter().coConnect_Click();
    rig.timers.advance(300);
    rig.link->fighter().coConnect_Click();
    EXPECT_EQ(rig.sentCount(), 1u);
    EXPECT_TRUE(rig.boxes.anyContains("Action canceled by flood protection"));
    rig.timers.advance(300);
    rig.link->fighter().coConnect_Click();
    EXPECT_EQ(rig.sentCount(), 2u);
}

TEST_F(FighterSide_, ConnectWhileConnectedAsksFirst) {
    connect();
    rig.socket.sent.clear();
    rig.link->fighter().coConnect_Click();  // answered No by default
    EXPECT_EQ(rig.sentCount(), 0u);
    EXPECT_EQ(rig.state.sArrangerAddress, kArranger);
    rig.timers.advance(600);
    rig.boxes.answers = {mb::Yes};
    rig.link->fighter().coConnect_Click();
    ASSERT_EQ(rig.sentCount(), 2u);
    EXPECT_EQ(rig.sentPlain(0), "4\0"s);
    EXPECT_EQ(rig.sentPlain(1), "1\0Viper\0"s);
    EXPECT_TRUE(rig.state.sArrangerAddress.empty());
}

TEST_F(FighterSide_, UnreachableArrangerIsReported) {
    rig.ui.tServer.setText("no-such-host.invalid");
    rig.socket.failingHosts["no-such-host.invalid"] = err::HostUnreachable;
    rig.link->fighter().coConnect_Click();
    EXPECT_TRUE(rig.boxes.anyContains("Destination computer not reachable"));
    EXPECT_FALSE(rig.lifecycle.ended());
}

TEST_F(FighterSide_, AcceptanceWithAndWithoutGameInfo) {
    rig.ui.chFeedback.setValue(1);
    connect(
        "1\0"s
        "1.2.3.4:27015\0"s
        "v\0"s
        "\0"s);
    EXPECT_EQ(rig.state.sArrangerAddress, kArranger);
    EXPECT_EQ(rig.settingsBackend.values["Server"], kArranger);
    EXPECT_EQ(rig.ui.lServer.caption(), "1.2.3.4:27015");
    EXPECT_EQ(rig.ui.lProtection.caption(), "Valve Anti-Cheat (VAC)");
    EXPECT_EQ(rig.ui.lPassword.caption(), "");
    EXPECT_TRUE(rig.chat.has("[event] Successfully connected and acquired game info"));
    EXPECT_EQ(rig.attention.requests.back(), std::make_pair(1, 103));
    EXPECT_TRUE(rig.boxes.anyContains("Successfully connected and acquired game info"));

    // A two-character game address is no game info; the acceptance still counts.
    FakeLinkRig other;
    other.startFighter();
    other.connectTo("10.9.9.9", "1\0ab\0v\0\0"s);
    EXPECT_EQ(other.state.sArrangerAddress, "10.9.9.9");
    EXPECT_EQ(other.ui.lServer.caption(), "");
    EXPECT_TRUE(other.chat.has("[event] Successfully connected to War Arranger"));
}

TEST_F(FighterSide_, NewGameInfoIsAcknowledgedOnlyWhenItParses) {
    connect();
    rig.socket.sent.clear();
    rig.deliver(
        "2\0"s
        "5.6.7.8\0"s
        "cd\0"s
        "pw\0"s,
        kArranger);  // two-character protection
    EXPECT_EQ(rig.sentCount(), 0u);
    rig.deliver(
        "2\0"s
        "5.6.7.8\0"s
        "c\0"s
        "pw\0"s,
        kArranger);
    EXPECT_EQ(rig.sentPlain(-1), "3\0"s);
    EXPECT_EQ(rig.ui.lProtection.caption(), "Cheating-Death (C-D)");
    EXPECT_EQ(rig.ui.lPassword.caption(), "pw");
    EXPECT_TRUE(rig.chat.has("[event] New game info received from War Arranger"));
}

TEST_F(FighterSide_, MessagesFromOthersThanTheArrangerAreIgnored) {
    connect();
    rig.deliver("3\0"s, "10.6.6.6");
    EXPECT_EQ(rig.state.sArrangerAddress, kArranger);
    rig.deliver("3\0"s, kArranger);
    EXPECT_TRUE(rig.state.sArrangerAddress.empty());
    EXPECT_TRUE(rig.chat.has("[event] War Arranger closed connection"));
}

TEST_F(FighterSide_, KickOutdatedInfoAndRefusals) {
    connect(
        "1\0"s
        "1.2.3.4\0"s
        "v\0"s
        "pw\0"s);
    rig.deliver("8\0"s, kArranger);
    EXPECT_EQ(rig.ui.lServer.caption(), "");
    EXPECT_TRUE(rig.boxes.anyContains("You have outdated game info"));
    rig.timers.advance(31000);
    EXPECT_EQ(rig.state.sArrangerAddress, kArranger);

    rig.deliver("5\0"s, kArranger);
    EXPECT_TRUE(rig.boxes.anyContains("Already connected to specified War Arranger"));

    rig.deliver("a\0Hawk\0waves\0"s, kArranger);
    EXPECT_TRUE(rig.chat.has("[received action] Hawk|waves|"));

    rig.deliver("4\0"s, kArranger);
    EXPECT_TRUE(rig.state.sArrangerAddress.empty());
    EXPECT_TRUE(rig.chat.has("[event] You were kicked or banned"));

    connect();
    rig.deliver("6\0"s, kArranger);
    EXPECT_TRUE(rig.state.sArrangerAddress.empty());
    EXPECT_TRUE(rig.boxes.anyContains("War Arranger connection slots are full"));
}

TEST_F(FighterSide_, WhoListAndEmptyAnswer) {
    connect();
    rig.deliver("9\0"s, kArranger);
    EXPECT_TRUE(rig.chat.has("[notice] : No persons currently on chat"));
    rig.deliver(
        "9\0"s
        "2\0"s
        "Viper\0"s
        "10.0.0.1\0"s
        "Boss\0"s
        "192.168.1.2\0"s,
        kArranger);
    EXPECT_TRUE(rig.chat.has("[who] 2|Viper|10.0.0.1|Boss|192.168.1.2|"));
}

TEST_F(FighterSide_, AddressChangeAsksToReconnect) {
    connect();
    rig.deliver(
        "D\0"s
        "10.1.1.1\0"s,
        "10.7.7.7");  // not our War Arranger's old address
    EXPECT_EQ(rig.state.sArrangerAddress, kArranger);
    rig.socket.sent.clear();
    rig.boxes.answers = {mb::Yes};
    rig.deliver("D\0"s + kArranger + "\0"s, "10.7.7.7");
    EXPECT_EQ(rig.ui.tServer.text(), "10.7.7.7");
    ASSERT_EQ(rig.sentCount(), 1u);
    EXPECT_EQ(rig.socket.sent[0].host, "10.7.7.7");
    EXPECT_EQ(rig.sentPlain(0), "1\0Viper\0"s);
}

TEST_F(FighterSide_, LeavingForArrangerModeSaysGoodbye) {
    connect();
    rig.socket.sent.clear();
    rig.ui.oServer.click();
    ASSERT_GE(rig.sentCount(), 1u);
    EXPECT_EQ(rig.sentPlain(0), "4\0"s);
    EXPECT_EQ(rig.socket.boundPort(), 27220);
    EXPECT_TRUE(rig.state.sArrangerAddress.empty());
}

}  // namespace
