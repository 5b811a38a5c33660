#include <gtest/gtest.h>

#include <memory>

#include "link/Codec.h"
#include "shell/MainForm.h"
#include "support/ShellRig.h"

using namespace squadlink;
using namespace std::string_literals;

namespace {

// Start-up: stored controls restored and repaired, the window placed, the mode, banner and colour
// manager set up.
class StartUp_ : public ::testing::Test, public ShellRig {};

TEST_F(StartUp_, FirstStartUsesDefaults) {
    ASSERT_TRUE(start());
    auto& ui = form().ui();
    EXPECT_EQ(ui.frmSQD.caption(), "Squadlink v1.1.0");
    EXPECT_TRUE(ui.frmSQD.visible());
    EXPECT_TRUE(ui.oClient.value());
    EXPECT_EQ(socket.boundPort(), 27221);
    EXPECT_EQ(ui.Tabek.selectedTab(), 0);
    EXPECT_TRUE(ui.chSound.checked());
    EXPECT_FALSE(ui.chPop.checked());
    EXPECT_TRUE(ui.chAutoConnect.checked());
    EXPECT_EQ(ui.tNick.maxLength(), 23u);
    EXPECT_EQ(ui.tPassword.maxLength(), 18u);
    EXPECT_EQ(ui.lbFighters.tabStops(), (std::vector<int>{184, 251}));
    EXPECT_EQ(ui.frmSQD.left(), 0);
    EXPECT_EQ(urlScheme.registrations, 1);
    EXPECT_TRUE(tray.shown);
    EXPECT_TRUE(ui.t1sec.running());
    EXPECT_TRUE(instances.listening);
    EXPECT_TRUE(form().state().bFormReady);
    EXPECT_EQ(ui.lDate.caption(), "08.12.2026");
    EXPECT_EQ(ui.lTime.caption(), "09:05:07");
    // Filling the controls stored nothing back.
    EXPECT_EQ(stored("NotifySound"), "<missing>");
}

TEST_F(StartUp_, StartUpRestoresStoredControls) {
    settings.values = {{"Nick", "Viper"},       {"ServerMode", "True"}, {"ClientMode", "False"},
                       {"LastTab", "2"},        {"NotifySound", "0"},   {"NotifyPopup", "1"},
                       {"NotifyFeedback", "1"}, {"Autoconnect", "0"},   {"Game", "1.2.3.4:27015"}};
    urlScheme.command = executable;
    ASSERT_TRUE(start());
    auto& ui = form().ui();
    EXPECT_TRUE(ui.oServer.value());
    EXPECT_EQ(socket.boundPort(), 27220);
    EXPECT_EQ(ui.Tabek.selectedTab(), 2);
    EXPECT_EQ(ui.tNick.text(), "Viper");
    EXPECT_EQ(ui.tGame.text(), "1.2.3.4:27015");
    EXPECT_FALSE(ui.chSound.checked());
    EXPECT_TRUE(ui.chPop.checked());
    EXPECT_TRUE(ui.chFeedback.checked());
    EXPECT_FALSE(ui.chAutoConnect.checked());
    EXPECT_EQ(urlScheme.registrations, 0);
}

TEST_F(StartUp_, StoredTabThatDoesNotExistIsRepaired) {
    settings.values["LastTab"] = "9";
    ASSERT_TRUE(start());
    EXPECT_EQ(form().ui().Tabek.selectedTab(), 0);
    EXPECT_EQ(stored("LastTab"), "0");
    EXPECT_TRUE(form().state().bFormReady);
}

TEST_F(StartUp_, CorruptValuesFallBackToTheirDefaults) {
    settings.values = {
        {"NotifySound", "banana"}, {"Left", "abc"}, {"ClientMode", "maybe"}, {"LastTab", "x"}};
    ASSERT_TRUE(start());
    EXPECT_TRUE(form().ui().chSound.checked());
    EXPECT_TRUE(form().ui().oClient.value());
    EXPECT_EQ(form().ui().frmSQD.left(), 0);
}

TEST_F(StartUp_, WindowIsKeptInsideTheWorkArea) {
    windows.area = Rect{0, 0, 1024, 768};
    settings.values["Left"] = "-5000";
    settings.values["Top"] = "99999";
    ASSERT_TRUE(start());
    const auto& frm = form().ui().frmSQD;
    EXPECT_EQ(frm.left(), 0);
    EXPECT_EQ(frm.top() + frm.height(), 768);

    ShellRig other;
    other.windows.area = Rect{0, 0, 1024, 768};
    other.settings.values["Left"] = std::to_string(1000 * 15);
    ASSERT_TRUE(other.start());
    EXPECT_EQ(other.form().ui().frmSQD.left() + other.form().ui().frmSQD.width(), 1024);
}

TEST_F(StartUp_, NoAudioDeviceDisablesSounds) {
    sound.devices = 0;
    settings.values["NotifySound"] = "1";
    ASSERT_TRUE(start());
    EXPECT_FALSE(form().ui().chSound.checked());
    EXPECT_FALSE(form().ui().chSound.enabled());
}

// The window comes up before the tray icon, the hot keys and the link handler, which only
// wait for its first frame; a link on the command line still connects at once.
TEST_F(StartUp_, TrayHotKeysAndLinkHandlerWaitForTheFirstFrame) {
    windows.holdFirstFrame = true;
    settings.values = {{"Nick", "Viper"}};
    ASSERT_TRUE(start({"sqd://10.0.0.5/"}));
    auto& ui = form().ui();
    EXPECT_TRUE(ui.frmSQD.visible());
    EXPECT_TRUE(form().state().bFormReady);
    EXPECT_TRUE(instances.listening);
    EXPECT_EQ(socket.sent.size(), 1u);
    EXPECT_FALSE(tray.shown);
    EXPECT_TRUE(hotKeys.actions.empty());
    EXPECT_EQ(urlScheme.registrations, 0);
    EXPECT_FALSE(form().colour().displayAttached());

    windows.showFirstFrame();
    EXPECT_TRUE(form().colour().displayAttached());
    EXPECT_TRUE(tray.shown);
    EXPECT_EQ(hotKeys.actions.size(), 2u);
    EXPECT_EQ(urlScheme.registrations, 1);
    EXPECT_TRUE(form().state().bHotKeyUp);
}

// The colour manager's state is part of the first frame only when its page is the one shown.
// Read later, the display's ramp leaves the stored settings as they were.
TEST_F(StartUp_, TheDisplayRampWaitsForTheFirstFrameUnlessItsPageIsShown) {
    windows.holdFirstFrame = true;
    display.supported = false;
    settings.values = {{"LastTab", "5"}, {"Gamma", "150"}};
    ASSERT_TRUE(start());
    EXPECT_TRUE(form().colour().displayAttached());
    EXPECT_EQ(form().ui().fCM.caption(), "Color manager (not supported by your display adapter)");
    form().close();

    ShellRig later;
    later.windows.holdFirstFrame = true;
    later.settings.values = {{"LastTab", "1"}, {"AutoCM", "1"}, {"Gamma", "150"}};
    ASSERT_TRUE(later.start());
    EXPECT_FALSE(later.form().colour().displayAttached());
    EXPECT_EQ(later.form().ui().hsGamma.value(), 150);
    EXPECT_EQ(later.form().ui().chAutoCM.value(), 0);
    later.windows.showFirstFrame();
    EXPECT_TRUE(later.form().colour().supported());
    EXPECT_EQ(later.form().ui().chAutoCM.value(), 1);
    later.form().close();
    EXPECT_EQ(later.stored("AutoCM"), "1");
    EXPECT_EQ(later.stored("Gamma"), "150");

    // Without a ramp the box is cleared and disabled, and the stored choice kept for a
    // session that has one.
    ShellRig remote;
    remote.windows.holdFirstFrame = true;
    remote.display.supported = false;
    remote.settings.values = {{"AutoCM", "1"}};
    ASSERT_TRUE(remote.start());
    remote.windows.showFirstFrame();
    EXPECT_FALSE(remote.form().ui().chAutoCM.enabled());
    EXPECT_EQ(remote.form().ui().chAutoCM.value(), 0);
    remote.form().close();
    EXPECT_EQ(remote.stored("AutoCM"), "1");
}

// Closed before its first frame, the program adds no icon and grabs no keys afterwards.
TEST_F(StartUp_, NothingWaitingForTheFirstFrameRunsAfterShutDown) {
    windows.holdFirstFrame = true;
    ASSERT_TRUE(start());
    form().close();
    windows.showFirstFrame();
    EXPECT_FALSE(tray.shown);
    EXPECT_TRUE(hotKeys.actions.empty());
    EXPECT_EQ(urlScheme.registrations, 0);
}

TEST_F(StartUp_, PortsInUseEndsAtStartUp) {
    socket.failNextBind = err::AddressInUse;
    EXPECT_FALSE(start());
    EXPECT_TRUE(boxes.anyContains("Ports needed by Squadlink are in use"));
}

// What the boxes show is what is sent and stored.
TEST_F(StartUp_, StoredAndLinkedTextsKeepTheBoxLimits) {
    settings.values = {{"Nick", std::string(300, 'n')}, {"ClientMode", "True"}};
    ASSERT_TRUE(start({"sqd://192.168.1." + std::string(200, '2') + "/"}));
    EXPECT_EQ(form().ui().tNick.text().size(), 23u);
    EXPECT_EQ(form().ui().tServer.text().size(), 34u);
    form().ui().tServer.setText("192.168.1.2");
    form().ui().coConnect.click();
    ASSERT_FALSE(socket.sent.empty());
    std::string join = socket.sent.back().data;
    codec::unscramble(join);
    EXPECT_EQ(join, "1\0"s + std::string(23, 'n') + "\0"s);
    form().close();
    EXPECT_EQ(stored("Nick"), std::string(23, 'n'));
}

TEST_F(StartUp_, UnexpectedErrorIsShownAndEndsAfterShutDown) {
    ASSERT_TRUE(start());
    form().guard().run([] { throw RuntimeError(91, "Object variable not set"); });
    EXPECT_TRUE(form().ended());
    EXPECT_EQ(boxes.shown.back().caption, "Squadlink v1.1.0 - Error");
    EXPECT_EQ(boxes.shown.back().flags, mb::Error);
    EXPECT_EQ(stored("Nick"), "");
}

TEST_F(StartUp_, StartUpShowsTheBannerAndArmsTheMonthlyCheck) {
    ASSERT_TRUE(start());
    auto& ui = form().ui();
    EXPECT_EQ(ui.wb.locationName(), "file://" + programFolder.path() + "/data/banner.gif");
    EXPECT_TRUE(ui.tBanner.running());
    EXPECT_EQ(ui.tBanner.interval(), 45000);
    EXPECT_TRUE(ui.tDelayUpdate.running());
    EXPECT_EQ(ui.tDelayUpdate.interval(), 5000);
    EXPECT_TRUE(ui.mSysUpgradeCheck.enabled());
    ui.frmSQD.setWindowState(WindowState::Minimized);
    EXPECT_FALSE(ui.tBanner.running());
    ui.frmSQD.setWindowState(WindowState::Normal);
    EXPECT_TRUE(ui.tBanner.running());
    form().close();
    EXPECT_FALSE(ui.tBanner.running());
    EXPECT_FALSE(ui.tDelayUpdate.running());
}

TEST_F(StartUp_, ColourSettingsComeBackAndTheRampIsPutBackAtShutDown) {
    settings.values = {{"Gamma", "250"}, {"Contrast", "80"}, {"Brightness", "110"}};
    ASSERT_TRUE(start());
    auto& ui = form().ui();
    EXPECT_EQ(ui.hsGamma.value(), 250);
    EXPECT_EQ(ui.lGValue.caption(), "2.50");
    const GammaTable startup = display.current;
    ui.coTurn.click();
    ASSERT_NE(display.current, startup);
    // The hot keys move the applied gamma.
    hotKeys.press(HotKeys::Key::GammaUp);
    EXPECT_EQ(ui.hsGamma.value(), 300);
    EXPECT_EQ(display.current, form().colour().customRamp());
    form().close();
    EXPECT_EQ(display.current, startup);
    EXPECT_EQ(stored("Gamma"), "300");
    EXPECT_EQ(stored("Contrast"), "80");
    EXPECT_EQ(stored("Brightness"), "110");
}

TEST_F(StartUp_, GameWatchRunsOnTheOneSecondTick) {
    settings.values = {{"AutoCM", "1"}};
    ASSERT_TRUE(start());
    processes.running = {{321, "hl.exe"}};
    processes.windows = {{77, 321, "", false}};
    processes.foreground = 77;
    form().ui().t1sec.tick();
    EXPECT_TRUE(form().state().bGameInFront);
    EXPECT_EQ(display.current, form().colour().customRamp());
}

}  // namespace
