#include <gtest/gtest.h>

#include <memory>

#include "link/Codec.h"
#include "shell/MainForm.h"
#include "support/ShellRig.h"

using namespace squadlink;
using namespace std::string_literals;

namespace {

// The shell's own controls: stored choices, minimising, the gamma hot keys.
class ShellControls_ : public ::testing::Test, public ShellRig {};

TEST_F(ShellControls_, MinimisingWithoutATrayKeepsTheWindowReachable) {
    tray.exists = false;
    ASSERT_TRUE(start());
    form().ui().frmSQD.setWindowState(WindowState::Minimized);
    EXPECT_TRUE(form().ui().frmSQD.visible());
}

TEST_F(ShellControls_, ChoicesAreStoredWhenMadeAfterStartUp) {
    ASSERT_TRUE(start());
    auto& ui = form().ui();
    ui.chPop.click();
    EXPECT_EQ(stored("NotifyPopup"), "1");
    ui.chSound.click();
    EXPECT_EQ(stored("NotifySound"), "0");
    ui.Tabek.setSelectedTab(tab::Chat);
    EXPECT_EQ(stored("LastTab"), "4");
    ui.oServer.click();
    EXPECT_EQ(stored("ServerMode"), "True");
    EXPECT_EQ(socket.boundPort(), 27220);
}

TEST_F(ShellControls_, GammaHotKeysStepWithinBounds) {
    ASSERT_TRUE(start());
    auto& gamma = form().ui().hsGamma;
    hotKeys.press(HotKeys::Key::GammaUp);
    EXPECT_EQ(gamma.value(), 150);
    EXPECT_EQ(sound.played.back(), std::make_pair(106, false));
    gamma.setValue(600);
    const auto played = sound.played.size();
    hotKeys.press(HotKeys::Key::GammaUp);
    EXPECT_EQ(gamma.value(), 600);
    EXPECT_EQ(sound.played.size(), played);
    gamma.setValue(50);
    hotKeys.press(HotKeys::Key::GammaDown);
    EXPECT_EQ(gamma.value(), 50);
}

// A right click in an address box pastes over it, by the box's own paste rule: an address from
// the clipboard replaces the text, anything else leaves it as it was.
TEST_F(ShellControls_, RightClickInAddressBoxesPastesByTheirRules) {
    settings.values = {{"ServerMode", "True"}, {"ClientMode", "False"}};
    ASSERT_TRUE(start());
    auto& game = form().ui().tGame;
    game.setText("10.0.0.1");
    ASSERT_TRUE(game.takesRightClick());
    clipboard.content = "192.168.5.9:27016";
    game.rightClick();
    EXPECT_EQ(game.text(), "192.168.5.9:27016");
    clipboard.content = "not an address; quit";
    game.rightClick();
    EXPECT_EQ(game.text(), "192.168.5.9:27016");
}

}  // namespace
