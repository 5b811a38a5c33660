#include <gtest/gtest.h>

#include "link/Codec.h"
#include "support/LinkRig.h"

using namespace squadlink;
using namespace std::string_literals;

namespace {

const std::string kHeader(4, '\xFF');
const std::string kInfoQuery = kHeader + "TSource Engine Query\0"s;
constexpr const char* kServer = "10.0.0.30";
constexpr const char* kArranger = "192.168.1.2";

std::string detailsReply(const std::string& name = "Clan War Server", char os = 'l') {
    return kHeader + "m" + "10.0.0.30:27015\0"s + name + '\0' + "de_dust2\0cstrike\0"s +
           "Counter-Strike\0"s + '\x05' + '\x0C' + '\x2F' + 'd' + os + '\0' + '\x01' + "\0\0"s +
           std::string(11, '\0') + '\x01';
}

std::string infoReply(const std::string& name = "Modern Server", char cheat = 0) {
    return kHeader + "I" + '\x30' + name + '\0' + "de_inferno\0cstrike\0"s + "Counter-Strike\0"s +
           "\x0A\x00"s + '\x02' + '\x10' + '\0' + 'l' + 'w' + '\0' + cheat;
}

class ArrangerScan : public ::testing::Test {
protected:
    void SetUp() override {
        rig.startArranger();
        rig.ui.tGame.setText(kServer);
    }
    void scan() {
        rig.timers.advance(600);
        rig.socket.sent.clear();
        rig.ui.coScan.click();
    }
    // A reply arriving `us` microseconds after the query left.
    void reply(const std::string& data, std::int64_t us) {
        rig.clock.us += us;
        rig.socket.deliver(data, kServer);
    }
    FakeLinkRig rig;
};

TEST_F(ArrangerScan, QueriesTheDefaultOrGivenPort) {
    scan();
    ASSERT_EQ(rig.socket.sent.size(), 1U);
    EXPECT_EQ(rig.socket.sent[0].host, kServer);
    EXPECT_EQ(rig.socket.sent[0].port, 27015);
    EXPECT_EQ(rig.socket.sent[0].data, kInfoQuery);
    rig.ui.tGame.setText("10.0.0.30:27016");
    scan();
    ASSERT_EQ(rig.socket.sent.size(), 1U);
    EXPECT_EQ(rig.socket.sent[0].port, 27016);
}

TEST_F(ArrangerScan, ReplyFillsTheDetailsAndStoresTheAddress) {
    scan();
    reply(detailsReply(), 45'000);
    EXPECT_EQ(rig.ui.lGameName.caption(), "Clan War Server");
    EXPECT_EQ(rig.ui.lGameSecure.caption(), "Valve Anti-Cheat (VAC)");
    EXPECT_EQ(rig.ui.lServerPing.caption(), "41 ms");  // 45 x 0.92 = 41.4
    EXPECT_EQ(rig.ui.lMapPlayers.caption(), "de_dust2 (5 / 12)");
    EXPECT_EQ(rig.ui.lServerType.caption(), "Linux dedicated server");
    EXPECT_EQ(rig.ui.imgServerType.caption(), "101");
    EXPECT_EQ(rig.state.nQueryClock, 41);
    EXPECT_EQ(rig.settingsBackend.values["Game"], kServer);
    EXPECT_TRUE(rig.link->arranger().gameInfoKnown());
    EXPECT_EQ(rig.link->arranger().protectionCode(), "v");
    EXPECT_TRUE(rig.boxes.shown.empty());
}

TEST_F(ArrangerScan, TodaysReplyAfterAChallengeIsTimedFromTheAnsweredQuery) {
    scan();
    reply(kHeader + "A\x11\x22\x33\x44", 300'000);
    ASSERT_EQ(rig.socket.sent.size(), 2U);
    EXPECT_EQ(rig.socket.sent[1].data, kInfoQuery + "\x11\x22\x33\x44");
    reply(infoReply(), 20'000);
    EXPECT_EQ(rig.ui.lGameName.caption(), "Modern Server");
    EXPECT_EQ(rig.ui.lServerPing.caption(), "18 ms");  // 20 x 0.92 = 18.4, not the 300 ms before
    EXPECT_EQ(rig.ui.lGameSecure.caption(), "Cheating-Death (C-D)");
    EXPECT_EQ(rig.ui.lServerType.caption(), "Windows listen server");
    EXPECT_EQ(rig.ui.imgServerType.caption(), "102");
    EXPECT_EQ(rig.ui.lMapPlayers.caption(), "de_inferno (2 / 16)");
}

TEST_F(ArrangerScan, ChallengesAreAnsweredOnlyTwice) {
    scan();
    for (int i = 0; i < 5; ++i) {
        reply(kHeader + "A\x01\x02\x03\x04", 1000);
    }
    EXPECT_EQ(rig.socket.sent.size(), 3U);
}

TEST_F(ArrangerScan, BothRepliesFillTheDetailsOnce) {
    scan();
    reply(detailsReply("First"), 10'000);
    reply(infoReply("Second"), 10'000);
    EXPECT_EQ(rig.ui.lGameName.caption(), "First");
    EXPECT_EQ(rig.ui.lServerPing.caption(), "9 ms");
}

TEST_F(ArrangerScan, ABrokenOlderReplyLeavesRoomForTodaysReply) {
    scan();
    std::string broken = detailsReply();
    broken.pop_back();
    reply(broken, 10'000);
    EXPECT_TRUE(rig.ui.lGameName.caption().empty());
    reply(infoReply(), 10'000);
    EXPECT_EQ(rig.ui.lGameName.caption(), "Modern Server");
    EXPECT_EQ(rig.ui.lServerPing.caption(), "18 ms");
}

TEST_F(ArrangerScan, LateOrUnaskedRepliesShowNothing) {
    scan();
    reply(detailsReply(), 1'200'000);  // 1104 ms
    EXPECT_TRUE(rig.ui.lGameName.caption().empty());
    EXPECT_EQ(rig.state.nQueryClock, 1104);

    FakeLinkRig fresh;
    fresh.startArranger();
    fresh.ui.tGame.setText(kServer);
    fresh.socket.deliver(detailsReply(), kServer);
    EXPECT_TRUE(fresh.ui.lGameName.caption().empty());
    // Taken as a game-server reply, never read as a link message.
    EXPECT_TRUE(fresh.socket.sent.empty());
}

TEST_F(ArrangerScan, RefusalsAndFailures) {
    rig.ui.tGame.setText("ab");
    scan();
    EXPECT_TRUE(rig.boxes.anyContains("Game server address unknown"));
    EXPECT_TRUE(rig.socket.sent.empty());

    rig.ui.tGame.setText("10.0.0.30:70000");
    scan();
    EXPECT_TRUE(rig.socket.sent.empty());
    EXPECT_TRUE(rig.ui.tGame.text().empty());

    rig.ui.tGame.setText(kServer);
    rig.ui.tPassword.setText("pw");
    rig.timers.advance(600);
    rig.ui.coScan.click();
    rig.ui.coScan.click();
    EXPECT_TRUE(rig.boxes.anyContains("Action canceled by flood protection"));

    rig.socket.failingHosts[kServer] = err::HostUnreachable;
    scan();
    EXPECT_TRUE(rig.boxes.anyContains("Destination computer not reachable"));
    reply(detailsReply(), 10'000);
    EXPECT_TRUE(rig.ui.lGameName.caption().empty());
}

TEST_F(ArrangerScan, EditingTheAddressDropsTheScanAndThePassword) {
    scan();
    reply(detailsReply(), 10'000);
    rig.ui.tPassword.setText("pw");
    rig.ui.tGame.setText("10.0.0.31");
    EXPECT_TRUE(rig.ui.lGameName.caption().empty());
    EXPECT_TRUE(rig.ui.tPassword.text().empty());
    EXPECT_FALSE(rig.link->arranger().gameInfoKnown());
}

class FighterPing : public ::testing::Test {
protected:
    void SetUp() override {
        rig.startFighter("Viper", false);
        rig.ui.tServer.setText(kArranger);
        rig.link->fighter().coConnect_Click();
        rig.deliver(codec::build('1', {"10.0.0.30:27016", "v", "pw"}), kArranger);
        rig.timers.advance(600);
        rig.socket.sent.clear();
    }
    void ping(std::int64_t replyUs) {
        rig.timers.advance(600);
        rig.ui.coPingGame.click();
        rig.clock.us += replyUs;
        rig.socket.deliver(kHeader + "j", kServer);
    }
    FakeLinkRig rig;
};

TEST_F(FighterPing, PingShowsTheScaledRoundTrip) {
    ASSERT_EQ(rig.ui.lServer.caption(), "10.0.0.30:27016");
    ping(500'000);
    ASSERT_GE(rig.socket.sent.size(), 1U);
    EXPECT_EQ(rig.socket.sent[0].data, kHeader + "ping\0"s);
    EXPECT_EQ(rig.socket.sent[0].port, 27016);
    EXPECT_EQ(rig.ui.lClientPing.caption(), "540 ms");
    ping(925'926);  // 1000.0001 ms after scaling: too long to show
    EXPECT_TRUE(rig.ui.lClientPing.caption().empty());
}

TEST_F(FighterPing, RoundingIsToTheEvenNumber) {
    EXPECT_EQ(ServerQuery::roundTrip(2'500, 1.0F), 2);
    EXPECT_EQ(ServerQuery::roundTrip(3'500, 1.0F), 4);
    EXPECT_EQ(ServerQuery::roundTrip(-3'500, 1.0F), 4);
    EXPECT_EQ(ServerQuery::roundTrip(1'200'000, ServerQuery::kScanFactor), 1104);
}

TEST_F(FighterPing, ReportSendsOncePerValue) {
    ping(20'000);
    ASSERT_EQ(rig.ui.lClientPing.caption(), "22 ms");
    rig.socket.sent.clear();
    rig.ui.coSendPing.click();
    ASSERT_EQ(rig.sentCount(), 1U);
    EXPECT_EQ(rig.sentPlain(0),
              "2\0"
              "22\0"
              "10.0.0.30:27016\0"s);
    EXPECT_EQ(rig.socket.sent[0].port, 27220);
    EXPECT_TRUE(rig.ui.tTimeout.running());
    rig.ui.coSendPing.click();
    EXPECT_TRUE(rig.boxes.anyContains("Current game ping was already reported"));
    ping(30'000);
    rig.socket.sent.clear();
    rig.ui.coSendPing.click();
    EXPECT_EQ(rig.sentPlain(0),
              "2\0"
              "32\0"
              "10.0.0.30:27016\0"s);
}

TEST_F(FighterPing, ReportRefusals) {
    rig.ui.coSendPing.click();
    EXPECT_TRUE(rig.boxes.anyContains("Ping the game server first"));
    rig.state.sArrangerAddress.clear();
    rig.ui.coSendPing.click();
    EXPECT_TRUE(rig.boxes.anyContains("Not connected to War Arranger"));
}

TEST_F(FighterPing, UnreachableServerDropsTheGameInfo) {
    rig.socket.failingHosts["10.0.0.30"] = err::HostUnreachable;
    rig.ui.coPingGame.click();
    EXPECT_TRUE(rig.boxes.anyContains("Destination computer not reachable"));
    EXPECT_TRUE(rig.ui.lServer.caption().empty());
    EXPECT_TRUE(rig.ui.lProtection.caption().empty());
    EXPECT_EQ(rig.state.nReportedPing, -1);
}

TEST_F(FighterPing, GameInfoOutsideTheEntryRulesIsRefused) {
    const std::pair<std::string, std::string> hostile[] = {
        {"10.0.0.1;quit", "pw"}, {"10.0.0.1 +exec", "pw"}, {"10.0.0.1", "a\"; quit"},
        {"10.0.0.1\"", ""},      {"10.0.0.1/x", ""},       {"10.0.0.1", std::string(19, 'p')},
    };
    for (const auto& [address, password] : hostile) {
        rig.socket.sent.clear();
        rig.deliver(codec::build('2', {address, "v", password}), kArranger);
        EXPECT_EQ(rig.ui.lServer.caption(), "10.0.0.30:27016") << address;
        EXPECT_EQ(rig.ui.lPassword.caption(), "pw") << address;
        EXPECT_EQ(rig.sentCount(), 0U) << address;
    }
    rig.deliver(codec::build('2', {"10.0.0.2", "c", "new pw"}), kArranger);
    EXPECT_EQ(rig.ui.lServer.caption(), "10.0.0.2");
    EXPECT_EQ(rig.ui.lProtection.caption(), "Cheating-Death (C-D)");
    EXPECT_EQ(rig.sentPlain(-1), "3\0"s);
}

}  // namespace
