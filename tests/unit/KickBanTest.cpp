#include <gtest/gtest.h>

#include "link/Codec.h"
#include "support/LinkRig.h"

using namespace squadlink;
using namespace std::string_literals;

namespace {

class KickBan_ : public ::testing::Test {
protected:
    void SetUp() override {
        rig.startArranger();
        for (int n = 1; n <= 3; ++n) {
            rig.join("F" + std::to_string(n), ip(n));
        }
        roster().selectNone();
        rig.socket.sent.clear();
    }
    static std::string ip(int n) { return "10.0.0." + std::to_string(n); }
    ListBox& roster() { return rig.ui.lbFighters; }
    KickBan& kb() { return rig.link->kickBan(); }
    FakeLinkRig rig;
};

TEST_F(KickBan_, NeedsASelection) {
    kb().coKick_Click();
    kb().coBan_Click();
    EXPECT_EQ(rig.boxes.shown.size(), 2u);
    EXPECT_TRUE(rig.boxes.anyContains("Select one or more Fighters first"));
    EXPECT_EQ(kb().bannedNext(), 0);
}

TEST_F(KickBan_, KickTellsAndRemovesTheSelectedFighters) {
    roster().setSelected(0, true);
    roster().setSelected(2, true);
    rig.boxes.answers = {mb::Yes};
    kb().coKick_Click();
    ASSERT_EQ(rig.sentCount(), 2u);
    EXPECT_EQ(rig.sentPlain(0), "4\0"s);
    EXPECT_EQ(rig.socket.sent[0].host, ip(1));
    EXPECT_EQ(rig.socket.sent[1].host, ip(3));
    ASSERT_EQ(roster().listCount(), 1);
    EXPECT_EQ(roster().list(0), "F2\t10.0.0.2\t???? ms");
    // Kicked Fighters may join again at once.
    rig.join("F1", ip(1));
    EXPECT_EQ(roster().listCount(), 2);
}

TEST_F(KickBan_, BanKeepsAddressesOutUntilTheModeIsEnteredAgain) {
    roster().setSelected(0, true);
    roster().setSelected(1, true);
    rig.boxes.answers = {mb::Yes};
    kb().coBan_Click();
    EXPECT_EQ(kb().bannedNext(), 2);
    EXPECT_EQ(roster().listCount(), 1);
    rig.socket.sent.clear();
    rig.join("F1", ip(1));
    EXPECT_EQ(rig.sentPlain(-1), "4\0"s);
    EXPECT_EQ(roster().listCount(), 1);

    rig.ui.oClient.click();
    rig.ui.oServer.click();
    EXPECT_EQ(kb().bannedNext(), 0);
    rig.join("F1", ip(1));
    EXPECT_EQ(roster().listCount(), 1);
}

TEST_F(KickBan_, BanAnsweredNoKeepsFightersButSilencesThem) {
    roster().setSelected(1, true);
    kb().coBan_Click();  // the kick question is answered No
    EXPECT_EQ(roster().listCount(), 3);
    rig.socket.sent.clear();
    const auto lines = rig.chat.lines.size();
    rig.deliver("7\0hello\0"s, ip(2));
    EXPECT_EQ(rig.chat.lines.size(), lines);
    ASSERT_EQ(rig.sentCount(), 1u);
    EXPECT_EQ(rig.sentPlain(0), "4\0"s);
}

TEST_F(KickBan_, FullBannedListWrapsToTheOldestSlot) {
    // Nineteen bans through the roster first, in batches that fit it.
    int next = 100;
    for (const int batch : {7, 7, 5}) {
        for (int i = 0; i < batch; ++i) {
            rig.join("X" + std::to_string(next), "172.16.0." + std::to_string(next));
            ++next;
        }
        roster().selectNone();
        for (int i = 3; i < roster().listCount(); ++i) {
            roster().setSelected(i, true);
        }
        rig.boxes.answers.push_back(mb::Yes);
        kb().coBan_Click();
    }
    ASSERT_EQ(kb().bannedNext(), 19);
    for (int i = 0; i < 3; ++i) {
        roster().setSelected(i, true);
    }
    kb().coBan_Click();
    EXPECT_EQ(kb().bannedAddresses()[19], ip(1));
    EXPECT_EQ(kb().bannedAddresses()[0], ip(2));
    EXPECT_EQ(kb().bannedAddresses()[1], ip(3));
    EXPECT_EQ(kb().bannedNext(), 2);
    int fullMessages = 0;
    for (const auto& box : rig.boxes.shown) {
        fullMessages += box.text.find("Banned IP addresses list full") != std::string::npos;
    }
    EXPECT_EQ(fullMessages, 1);
}

TEST_F(KickBan_, RightClickSelectionAndMenuVisibility) {
    constexpr int line = 16;
    roster().setRowHeight(line);
    // Below the last entry: everything deselected, only "Select All".
    roster().setSelected(0, true);
    roster().mouseDown(MouseButton::Right, 5, 3 * line + 2);
    roster().mouseUp(MouseButton::Right, 5, 3 * line + 2);
    EXPECT_EQ(roster().selCount(), 0);
    EXPECT_FALSE(rig.ui.mKick.visible());
    EXPECT_FALSE(rig.ui.mKickBanSeparator.visible());
    EXPECT_TRUE(rig.ui.mSelectAll.visible());
    EXPECT_FALSE(rig.ui.mInvertSelection.visible());
    EXPECT_FALSE(rig.ui.mClearSelection.visible());

    // On an unselected entry while another is selected: it becomes the only selection.
    roster().setSelected(0, true);
    roster().mouseDown(MouseButton::Right, 5, 2 * line + 1);
    roster().mouseUp(MouseButton::Right, 5, 2 * line + 1);
    EXPECT_FALSE(roster().selected(0));
    EXPECT_TRUE(roster().selected(2));
    EXPECT_TRUE(rig.ui.mKick.visible());
    EXPECT_TRUE(rig.ui.mInvertSelection.visible());

    // On a selected entry: the whole selection stays.
    roster().setSelected(1, true);
    roster().mouseDown(MouseButton::Right, 5, line + 1);
    EXPECT_EQ(roster().selCount(), 2);

    kb().mSelectAll_Click();
    roster().mouseUp(MouseButton::Right, 5, 1);
    EXPECT_FALSE(rig.ui.mSelectAll.visible());
    EXPECT_TRUE(rig.ui.mClearSelection.visible());
    kb().mInvertSelection_Click();
    EXPECT_EQ(roster().selCount(), 0);
}

TEST_F(KickBan_, KickWhileAFighterLeavesMidWalk) {
    for (int i = 0; i < 3; ++i) {
        roster().setSelected(i, true);
    }
    rig.boxes.answers = {mb::Yes};
    rig.socket.afterSend = [&](const FakeSocket::Sent&) {
        rig.socket.afterSend = nullptr;
        rig.pump.queued.push_back([&] { rig.deliver("4\0"s, ip(2)); });
    };
    kb().coKick_Click();
    EXPECT_EQ(roster().listCount(), 0);
    EXPECT_EQ(rig.sentCount(), 2u);  // F1, then F3; F2 left on its own
    EXPECT_FALSE(rig.boxes.anyContains("Resetting"));
}

}  // namespace
