#include <gtest/gtest.h>

#include "link/Codec.h"
#include "support/LinkRig.h"

using namespace squadlink;
using namespace std::string_literals;

namespace {

TEST(FloodLimit, FiftyDatagramsPerTickPassTheFiftyFirstEndsTheProgram) {
    FakeLinkRig rig;
    rig.startArranger();
    int unloadsRun = 0;
    rig.lifecycle.onUnload = [&] { ++unloadsRun; };
    for (int i = 0; i < 50; ++i) {
        rig.socket.deliver("junk", "10.0.0.1");
    }
    EXPECT_FALSE(rig.lifecycle.ended());
    rig.timers.advance(1000);  // t1sec resets the counter
    for (int i = 0; i < 50; ++i) {
        rig.socket.deliver("junk", "10.0.0.1");
    }
    EXPECT_FALSE(rig.lifecycle.ended());
    rig.socket.deliver("junk", "10.0.0.1");
    EXPECT_TRUE(rig.lifecycle.ended());
    EXPECT_EQ(unloadsRun, 1);
    EXPECT_EQ(rig.socket.boundPort(), 0);
    EXPECT_TRUE(rig.boxes.anyContains("Received data packets rate limit reached"));
    // Once ended, nothing more is handled.
    const auto shown = rig.boxes.shown.size();
    rig.socket.deliver("junk", "10.0.0.1");
    EXPECT_EQ(rig.boxes.shown.size(), shown);
}

TEST(FloodLimit, DatagramsBeforeStartUpFinishedAreNotCounted) {
    FakeLinkRig rig;
    rig.ui.oServer.setValue(true);
    for (int i = 0; i < 100; ++i) {
        rig.socket.deliver("junk", "10.0.0.1");
    }
    EXPECT_FALSE(rig.lifecycle.ended());
    EXPECT_EQ(rig.link->flood().datagramCount(), 0);
}

TEST(ActionLock, OneLockServesEveryAction) {
    FakeLinkRig rig;
    rig.startArranger();
    rig.setGameInfo("1.2.3.4", "pw", false);
    rig.join("F1", "10.0.0.1");
    rig.boxes.answers = {mb::Ok};
    rig.link->arranger().coSendInfo_Click();
    rig.timers.advance(300);
    EXPECT_FALSE(rig.link->flood().acquireLock());
    EXPECT_TRUE(rig.boxes.anyContains("Action canceled by flood protection"));
    rig.timers.advance(250);
    EXPECT_TRUE(rig.link->flood().acquireLock());
}

TEST(ReplyTimeout, ArrangerDropsFightersThatDidNotAcknowledge) {
    FakeLinkRig rig;
    rig.startArranger();
    rig.ui.chFeedback.setValue(1);
    rig.setGameInfo("1.2.3.4", "pw", false);
    for (int n = 1; n <= 3; ++n) {
        rig.join("F" + std::to_string(n), "10.0.0." + std::to_string(n));
    }
    rig.boxes.answers = {mb::Ok};
    rig.link->arranger().coSendInfo_Click();
    rig.deliver("3\0"s, "10.0.0.2");
    rig.timers.advance(29000);
    EXPECT_EQ(rig.ui.lbFighters.listCount(), 3);
    rig.timers.advance(1000);
    ASSERT_EQ(rig.ui.lbFighters.listCount(), 1);
    EXPECT_EQ(rig.ui.lbFighters.list(0), "F2\t10.0.0.2\t???? ms");
    EXPECT_TRUE(rig.chat.has(
        "[event] Following Fighter(s) timed out: F1 (IP: 10.0.0.1), F3 (IP: 10.0.0.3)"));
    EXPECT_EQ(rig.boxes.shown.back().text,
              "Following Fighter(s) timed out:   \r\n   \r\nF1 (IP: 10.0.0.1)   \r\n"
              "F3 (IP: 10.0.0.3)   ");
    EXPECT_FALSE(rig.ui.tTimeout.running());
}

TEST(ReplyTimeout, NothingShownWhenEveryoneAcknowledged) {
    FakeLinkRig rig;
    rig.startArranger();
    rig.setGameInfo("1.2.3.4", "pw", false);
    rig.join("F1", "10.0.0.1");
    rig.boxes.answers = {mb::Ok};
    rig.link->arranger().coSendInfo_Click();
    rig.deliver("3\0"s, "10.0.0.1");
    const auto lines = rig.chat.lines.size();
    rig.timers.advance(30000);
    EXPECT_EQ(rig.ui.lbFighters.listCount(), 1);
    EXPECT_EQ(rig.chat.lines.size(), lines);
}

TEST(ReplyTimeout, FighterConsidersASilentArrangerGone) {
    FakeLinkRig rig;
    rig.startFighter();
    rig.ui.tServer.setText("192.168.1.2");
    rig.link->fighter().coConnect_Click();
    rig.deliver("1\0"s, "192.168.1.2");
    rig.ui.tTimeout.restart();  // as an own chat line does
    rig.timers.advance(30000);
    EXPECT_TRUE(rig.state.sArrangerAddress.empty());
    EXPECT_TRUE(rig.chat.has("[event] War Arranger timed out"));
    EXPECT_TRUE(rig.boxes.anyContains("War Arranger timed out"));
    EXPECT_EQ(rig.attention.requests.back(), std::make_pair(1, 104));

    // An acknowledgement stops it.
    rig.connectTo("192.168.1.2", "1\0"s);
    rig.ui.tTimeout.restart();
    rig.deliver("E\0"s, "192.168.1.2");
    rig.timers.advance(31000);
    EXPECT_EQ(rig.state.sArrangerAddress, "192.168.1.2");
}

TEST(SocketErrors, ResetRebindsAndOtherErrorsEnd) {
    FakeLinkRig rig;
    rig.startFighter();
    const int binds = rig.socket.bindCount();
    rig.socket.raiseError(10054, "reset");
    EXPECT_EQ(rig.socket.bindCount(), binds + 1);
    EXPECT_EQ(rig.socket.boundPort(), 27221);
    EXPECT_TRUE(rig.boxes.anyContains("Connection reset occured"));
    EXPECT_EQ(rig.ui.lUserIP.caption(), "IP: 192.168.1.10");
    EXPECT_FALSE(rig.lifecycle.ended());

    rig.socket.failNextBind = err::AddressInUse;
    rig.socket.raiseError(10054, "reset");
    EXPECT_TRUE(rig.boxes.anyContains("Ports needed by Squadlink are in use"));
    EXPECT_TRUE(rig.lifecycle.ended());

    FakeLinkRig other;
    other.startArranger();
    other.socket.raiseError(10050, "Network is down");
    EXPECT_EQ(other.boxes.shown.back().text, "Socket error occured:   \r\nNetwork is down   ");
    EXPECT_TRUE(other.lifecycle.ended());
}

TEST(SocketErrors, PortsInUseAtModeSetUpEndsWithTheMessage) {
    FakeLinkRig rig;
    rig.socket.failNextBind = err::AddressInUse;
    rig.ui.oServer.setValue(true);
    EXPECT_THROW(rig.link->arranger().EnterArrangerMode(false), ProgramEnd);
    EXPECT_EQ(rig.boxes.shown.back().text,
              "Ports needed by Squadlink are in use   \r\nSquadlink will now close   ");
    EXPECT_EQ(rig.lifecycle.ends, 1);
}

TEST(SocketErrors, FailedAnswerRemovesTheAddressee) {
    FakeLinkRig rig;
    rig.startArranger();
    rig.join("F1", "10.0.0.1");
    rig.socket.failingHosts["10.0.0.1"] = err::HostUnreachable;
    rig.deliver("5\0"s, "10.0.0.1");
    EXPECT_EQ(rig.ui.lbFighters.listCount(), 0);
    EXPECT_FALSE(rig.lifecycle.ended());
}

}  // namespace
