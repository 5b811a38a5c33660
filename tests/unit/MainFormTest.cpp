#include <gtest/gtest.h>

#include <memory>

#include "link/Codec.h"
#include "shell/MainForm.h"
#include "support/ShellRig.h"

using namespace squadlink;
using namespace std::string_literals;

namespace {

class MainForm_ : public ::testing::Test, public ShellRig {};

TEST_F(MainForm_, FirstStartUsesDefaults) {
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

TEST_F(MainForm_, StartUpRestoresStoredControls) {
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

TEST_F(MainForm_, StoredTabThatDoesNotExistIsRepaired) {
    settings.values["LastTab"] = "9";
    ASSERT_TRUE(start());
    EXPECT_EQ(form().ui().Tabek.selectedTab(), 0);
    EXPECT_EQ(stored("LastTab"), "0");
    EXPECT_TRUE(form().state().bFormReady);
}

TEST_F(MainForm_, CorruptValuesFallBackToTheirDefaults) {
    settings.values = {
        {"NotifySound", "banana"}, {"Left", "abc"}, {"ClientMode", "maybe"}, {"LastTab", "x"}};
    ASSERT_TRUE(start());
    EXPECT_TRUE(form().ui().chSound.checked());
    EXPECT_TRUE(form().ui().oClient.value());
    EXPECT_EQ(form().ui().frmSQD.left(), 0);
}

TEST_F(MainForm_, WindowIsKeptInsideTheWorkArea) {
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

TEST_F(MainForm_, LinkOnTheCommandLineStartsAsFighterAndConnects) {
    settings.values = {{"ServerMode", "True"}, {"ClientMode", "False"}, {"Nick", "Viper"}};
    ASSERT_TRUE(start({"sqd://192.168.1.2/"}));
    auto& ui = form().ui();
    EXPECT_TRUE(ui.oClient.value());
    EXPECT_EQ(stored("ClientMode"), "True");
    EXPECT_EQ(stored("ServerMode"), "False");
    EXPECT_EQ(ui.tServer.text(), "192.168.1.2");
    EXPECT_EQ(ui.Tabek.selectedTab(), 1);
    ASSERT_FALSE(sound.played.empty());
    EXPECT_EQ(sound.played.front(), std::make_pair(101, true));
    ASSERT_EQ(socket.sent.size(), 1u);
    EXPECT_EQ(socket.sent[0].host, "192.168.1.2");
    EXPECT_EQ(socket.sent[0].port, 27220);
}

TEST_F(MainForm_, InvalidArgumentEndsSilently) {
    EXPECT_FALSE(start({"--help"}));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(settings.values.empty());
    EXPECT_FALSE(form().ui().frmSQD.visible());
}

TEST_F(MainForm_, SecondCopyHandsOverAndSavesNothing) {
    instances.running = true;
    EXPECT_FALSE(start({"\"sqd://10.0.0.5:27220/\""}));
    EXPECT_EQ(stored("Temp"), "10.0.0.5:27220");
    ASSERT_EQ(instances.sent.size(), 1u);
    EXPECT_EQ(instances.sent[0], InstanceChannel::Request::UrlExec);
    EXPECT_EQ(socket.bindCount(), 0);

    ShellRig plain;
    plain.instances.running = true;
    EXPECT_FALSE(plain.start());
    ASSERT_EQ(plain.instances.sent.size(), 1u);
    EXPECT_EQ(plain.instances.sent[0], InstanceChannel::Request::Activate);
    plain.form().Form_Unload();
    EXPECT_TRUE(plain.settings.values.empty());
}

TEST_F(MainForm_, HandedOverLinkIsConnectedByTheRunningCopy) {
    settings.values["Nick"] = "Viper";
    ASSERT_TRUE(start());
    settings.values["Temp"] = "192.168.1.2";
    instances.deliver(InstanceChannel::Request::UrlExec);
    EXPECT_EQ(stored("Temp"), "<missing>");
    EXPECT_EQ(form().ui().tServer.text(), "192.168.1.2");
    ASSERT_EQ(socket.sent.size(), 1u);
    std::string join = socket.sent[0].data;
    codec::unscramble(join);
    EXPECT_EQ(join, "1\0Viper\0"s);
}

TEST_F(MainForm_, ShutDownTellsPeersAndStoresTheWindow) {
    settings.values = {{"ServerMode", "True"}, {"ClientMode", "False"}};
    ASSERT_TRUE(start());
    auto& ui = form().ui();
    socket.deliver(codec::scramble("1\0Hawk\0"s), "10.0.0.1");
    ui.frmSQD.move(100, 50);
    ui.tNick.setText("  Boss  ");
    socket.sent.clear();
    form().close();
    EXPECT_TRUE(form().ended());
    EXPECT_EQ(application.quits, 1);
    ASSERT_EQ(socket.sent.size(), 1u);
    std::string bye = socket.sent[0].data;
    codec::unscramble(bye);
    EXPECT_EQ(bye, "3\0"s);
    EXPECT_EQ(socket.boundPort(), 0);
    EXPECT_EQ(stored("Left"), "1500");
    EXPECT_EQ(stored("Top"), "750");
    EXPECT_EQ(stored("Nick"), "Boss");
    EXPECT_FALSE(tray.shown);
    EXPECT_FALSE(ui.t1sec.running());
}

TEST_F(MainForm_, ClosingWhileMinimisedKeepsTheStoredPosition) {
    settings.values = {{"Left", "3000"}, {"Top", "1500"}};
    ASSERT_TRUE(start());
    form().ui().frmSQD.setWindowState(WindowState::Minimized);
    EXPECT_FALSE(form().ui().frmSQD.visible());  // hidden into the tray
    form().ui().frmSQD.move(0, 0);
    form().close();
    EXPECT_EQ(stored("Left"), "3000");
    EXPECT_EQ(stored("Top"), "1500");
}

TEST_F(MainForm_, MinimisingWithoutATrayKeepsTheWindowReachable) {
    tray.exists = false;
    ASSERT_TRUE(start());
    form().ui().frmSQD.setWindowState(WindowState::Minimized);
    EXPECT_TRUE(form().ui().frmSQD.visible());
}

TEST_F(MainForm_, ChoicesAreStoredWhenMadeAfterStartUp) {
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

TEST_F(MainForm_, NoAudioDeviceDisablesSounds) {
    sound.devices = 0;
    settings.values["NotifySound"] = "1";
    ASSERT_TRUE(start());
    EXPECT_FALSE(form().ui().chSound.checked());
    EXPECT_FALSE(form().ui().chSound.enabled());
}

TEST_F(MainForm_, PortsInUseEndsAtStartUp) {
    socket.failNextBind = err::AddressInUse;
    EXPECT_FALSE(start());
    EXPECT_TRUE(boxes.anyContains("Ports needed by Squadlink are in use"));
}

TEST_F(MainForm_, ResetToDefaultsDeletesEverythingAndWritesNothingBack) {
    settings.values["Nick"] = "Viper";
    ASSERT_TRUE(start());
    boxes.answers = {mb::Yes};
    form().ui().coDelete.click();
    EXPECT_TRUE(form().ended());
    EXPECT_TRUE(settings.values.empty());
    EXPECT_TRUE(urlScheme.command.empty());

    ShellRig stuck;
    stuck.urlScheme.removable = false;
    ASSERT_TRUE(stuck.start());
    stuck.boxes.answers = {mb::Yes};
    stuck.form().ui().coDelete.click();
    EXPECT_FALSE(stuck.form().ended());
}

// The reset question closed by the program shutting down (a signal, the session ending) used to
// count as "Yes": the settings were emptied and the link handler unregistered.
TEST_F(MainForm_, ResetQuestionClosedByShutDownDeletesNothing) {
    settings.values["Nick"] = "Viper";
    ASSERT_TRUE(start());
    boxes.answers = {mb::Ok};
    boxes.whileOpen = [this] { form().close(); };
    form().ui().coDelete.click();
    EXPECT_TRUE(form().ended());
    EXPECT_EQ(stored("Nick"), "Viper");
    EXPECT_FALSE(urlScheme.command.empty());
}

// What the boxes show is what is sent and stored.
TEST_F(MainForm_, StoredAndLinkedTextsKeepTheBoxLimits) {
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

TEST_F(MainForm_, GammaHotKeysStepWithinBounds) {
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

TEST_F(MainForm_, UnexpectedErrorIsShownAndEndsAfterShutDown) {
    ASSERT_TRUE(start());
    form().guard().run([] { throw RuntimeError(91, "Object variable not set"); });
    EXPECT_TRUE(form().ended());
    EXPECT_EQ(boxes.shown.back().caption, "Squadlink v1.1.0 - Error");
    EXPECT_EQ(boxes.shown.back().flags, mb::Error);
    EXPECT_EQ(stored("Nick"), "");
}

TEST_F(MainForm_, StartUpShowsTheBannerAndArmsTheMonthlyCheck) {
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

TEST_F(MainForm_, ShutDownTidiesTheArrangerAddressBeforeStoringIt) {
    settings.values = {{"ServerMode", "False"}, {"ClientMode", "True"}, {"Server", "10.0.0.5"}};
    ASSERT_TRUE(start());
    form().ui().tServer.setText("10.0.0.");
    form().close();
    EXPECT_EQ(stored("Server"), "");
}

}  // namespace

TEST_F(MainForm_, ColourSettingsComeBackAndTheRampIsPutBackAtShutDown) {
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

TEST_F(MainForm_, GameWatchRunsOnTheOneSecondTick) {
    settings.values = {{"AutoCM", "1"}};
    ASSERT_TRUE(start());
    processes.running = {{321, "hl.exe"}};
    processes.windows = {{77, 321, "", false}};
    processes.foreground = 77;
    form().ui().t1sec.tick();
    EXPECT_TRUE(form().state().bGameInFront);
    EXPECT_EQ(display.current, form().colour().customRamp());
}
