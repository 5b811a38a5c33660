#include <gtest/gtest.h>

#include "core/Notifier.h"
#include "platform/RuntimeError.h"
#include "support/FakeServices.h"

namespace squadlink {
namespace {

class NotifierTest : public ::testing::Test {
protected:
    NotifierTest() {
        windows.front = ForegroundWindow::Other;
        model.Tabek.setSelectedTab(tab::Configuration);
    }

    WindowModel model;
    FormState form;
    FakeWindowSystem windows;
    FakeSound sound;
    FakePump pump;
    FakeSettings backend;
    SettingsStore settings{backend};
    FakeClock clock;
    Notifier notifier{model, form, windows, sound, pump, settings, clock};
};

struct AttentionCase {
    ForegroundWindow front;
    bool pop;
    bool sounds;
    bool expectPopUp;
};

class RequestAttentionTest : public NotifierTest,
                             public ::testing::WithParamInterface<AttentionCase> {};

// The window pops up only when asked to and when the user is neither looking at it already
// nor playing; the sound follows its own box.
TEST_P(RequestAttentionTest, PopsUpAndPlaysAsConfigured) {
    const AttentionCase c = GetParam();
    windows.front = c.front;
    model.chPop.setValue(c.pop ? 1 : 0);
    model.chSound.setValue(c.sounds ? 1 : 0);

    notifier.RequestAttention(tab::Connections, 103, false);

    EXPECT_EQ(windows.restores, c.expectPopUp ? 1 : 0);
    EXPECT_EQ(model.Tabek.selectedTab(), c.expectPopUp ? tab::Connections : tab::Configuration);
    EXPECT_EQ(pump.calls, c.expectPopUp ? 1 : 0);
    if (c.sounds) {
        ASSERT_EQ(sound.played.size(), 1u);
        EXPECT_EQ(sound.played[0], std::make_pair(103, false));
    } else {
        EXPECT_TRUE(sound.played.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Foreground, RequestAttentionTest,
    ::testing::Values(AttentionCase{ForegroundWindow::Other, true, true, true},
                      AttentionCase{ForegroundWindow::None, true, true, true},
                      AttentionCase{ForegroundWindow::Other, false, true, false},
                      AttentionCase{ForegroundWindow::MainWindow, true, true, false},
                      // A running game keeps the screen; only the sound tells the player.
                      AttentionCase{ForegroundWindow::Game, true, true, false},
                      AttentionCase{ForegroundWindow::Other, true, false, true},
                      AttentionCase{ForegroundWindow::Game, false, false, false}));

TEST_F(NotifierTest, WaitIsPassedToTheSound) {
    model.chSound.setValue(1);
    notifier.RequestAttention(tab::Fighter, 102, true);
    ASSERT_EQ(sound.played.size(), 1u);
    EXPECT_EQ(sound.played[0], std::make_pair(102, true));
}

TEST_F(NotifierTest, PopUpSelectsTheTabBeforePendingEventsRun) {
    model.chPop.setValue(1);
    int tabSeenByEvents = -1;
    pump.queued.push_back([&] { tabSeenByEvents = model.Tabek.selectedTab(); });
    notifier.RequestAttention(tab::Chat, 104, false);
    EXPECT_EQ(tabSeenByEvents, tab::Chat);
}

TEST_F(NotifierTest, MissingTabFallsBackToFirstAndIsRememberedAndGoesOn) {
    model.chPop.setValue(1);
    model.chSound.setValue(1);
    model.Tabek.setSelectedTab(tab::Game);
    backend.values[key::LastTab] = "3";

    notifier.RequestAttention(9, 105, false);

    EXPECT_EQ(model.Tabek.selectedTab(), tab::Configuration);
    EXPECT_EQ(backend.values[key::LastTab], "0");
    EXPECT_EQ(windows.restores, 1);
    ASSERT_EQ(sound.played.size(), 1u);
    EXPECT_EQ(sound.played[0].first, 105);
}

TEST_F(NotifierTest, OtherErrorsFromTheTabClickAreNotSwallowed) {
    model.chPop.setValue(1);
    model.Tabek.Click.connect([] { throw RuntimeError(err::TypeMismatch); });
    EXPECT_THROW(notifier.RequestAttention(tab::Chat, 102, false), RuntimeError);
}

struct ChatCase {
    ForegroundWindow front;
    int selectedTab;
    bool sounds;
    bool expectSound;
};

class ChatNotifyTest : public NotifierTest, public ::testing::WithParamInterface<ChatCase> {};

TEST_P(ChatNotifyTest, ChatSoundOnlyWhenTheChatIsNotWatched) {
    const ChatCase c = GetParam();
    windows.front = c.front;
    model.Tabek.setSelectedTab(c.selectedTab);
    model.chSound.setValue(c.sounds ? 1 : 0);

    notifier.NotifyChatMessage();

    if (c.expectSound) {
        ASSERT_EQ(sound.played.size(), 1u);
        EXPECT_EQ(sound.played[0], std::make_pair(106, false));
    } else {
        EXPECT_TRUE(sound.played.empty());
    }
    EXPECT_EQ(windows.restores, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Watching, ChatNotifyTest,
    ::testing::Values(ChatCase{ForegroundWindow::MainWindow, tab::Chat, true, false},
                      ChatCase{ForegroundWindow::MainWindow, tab::Fighter, true, true},
                      ChatCase{ForegroundWindow::Other, tab::Chat, true, true},
                      ChatCase{ForegroundWindow::None, tab::Chat, true, true},
                      ChatCase{ForegroundWindow::Game, tab::Chat, true, true},
                      ChatCase{ForegroundWindow::Other, tab::Chat, false, false}));

TEST_F(NotifierTest, LampAsFighterFollowsTheArrangerAddress) {
    model.oClient.setValue(true);
    form.sArrangerAddress = "1.2.3.4";
    notifier.ShowConnectionLamp();
    EXPECT_TRUE(model.imgStatusOn.visible());
    EXPECT_FALSE(model.imgStatusOff.visible());

    form.sArrangerAddress = "ab";
    notifier.ShowConnectionLamp();
    EXPECT_FALSE(model.imgStatusOn.visible());
    EXPECT_TRUE(model.imgStatusOff.visible());

    form.sArrangerAddress = "abc";
    notifier.ShowConnectionLamp();
    EXPECT_TRUE(model.imgStatusOn.visible());
}

TEST_F(NotifierTest, LampAsArrangerFollowsTheRoster) {
    model.oServer.setValue(true);
    form.sArrangerAddress = "1.2.3.4";  // not looked at in this mode
    notifier.ShowConnectionLamp();
    EXPECT_FALSE(model.imgStatusOn.visible());
    EXPECT_TRUE(model.imgStatusOff.visible());

    model.lbFighters.addItem("Nick\t1.2.3.4\t");
    notifier.ShowConnectionLamp();
    EXPECT_TRUE(model.imgStatusOn.visible());
    EXPECT_FALSE(model.imgStatusOff.visible());
}

TEST_F(NotifierTest, LampUnchangedWithoutAMode) {
    model.imgStatusOn.setVisible(true);
    model.imgStatusOff.setVisible(true);
    form.sArrangerAddress = "";
    notifier.ShowConnectionLamp();
    EXPECT_TRUE(model.imgStatusOn.visible());
    EXPECT_TRUE(model.imgStatusOff.visible());
}

TEST_F(NotifierTest, ClockShowsPaddedDateAndTime) {
    clock.date = LocalDateTime{2026, 3, 4, 7, 5, 9};
    notifier.ShowClock();
    EXPECT_EQ(model.lDate.caption(), "04.03.2026");
    EXPECT_EQ(model.lTime.caption(), "07:05:09");

    clock.date = LocalDateTime{1999, 12, 31, 23, 59, 58};
    notifier.ShowClock();
    EXPECT_EQ(model.lDate.caption(), "31.12.1999");
    EXPECT_EQ(model.lTime.caption(), "23:59:58");
}

TEST_F(NotifierTest, ResourceSoundGoesToThePlayer) {
    notifier.PlayResourceSound(101, true);
    notifier.PlayResourceSound(106, false);
    ASSERT_EQ(sound.played.size(), 2u);
    EXPECT_EQ(sound.played[0], std::make_pair(101, true));
    EXPECT_EQ(sound.played[1], std::make_pair(106, false));
}

}  // namespace
}  // namespace squadlink
