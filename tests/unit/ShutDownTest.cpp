#include <gtest/gtest.h>

#include <memory>

#include "link/Codec.h"
#include "shell/MainForm.h"
#include "support/ShellRig.h"

using namespace squadlink;
using namespace std::string_literals;

namespace {

// Shut-down and reset: peers told, the window and boxes stored, nothing written back after a reset.
class ShutDown_ : public ::testing::Test, public ShellRig {};

TEST_F(ShutDown_, ShutDownTellsPeersAndStoresTheWindow) {
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

TEST_F(ShutDown_, ClosingWhileMinimisedKeepsTheStoredPosition) {
    settings.values = {{"Left", "3000"}, {"Top", "1500"}};
    ASSERT_TRUE(start());
    form().ui().frmSQD.setWindowState(WindowState::Minimized);
    EXPECT_FALSE(form().ui().frmSQD.visible());  // hidden into the tray
    form().ui().frmSQD.move(0, 0);
    form().close();
    EXPECT_EQ(stored("Left"), "3000");
    EXPECT_EQ(stored("Top"), "1500");
}

TEST_F(ShutDown_, ResetToDefaultsDeletesEverythingAndWritesNothingBack) {
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
TEST_F(ShutDown_, ResetQuestionClosedByShutDownDeletesNothing) {
    settings.values["Nick"] = "Viper";
    ASSERT_TRUE(start());
    boxes.answers = {mb::Ok};
    boxes.whileOpen = [this] { form().close(); };
    form().ui().coDelete.click();
    EXPECT_TRUE(form().ended());
    EXPECT_EQ(stored("Nick"), "Viper");
    EXPECT_FALSE(urlScheme.command.empty());
}

TEST_F(ShutDown_, ShutDownTidiesTheArrangerAddressBeforeStoringIt) {
    settings.values = {{"ServerMode", "False"}, {"ClientMode", "True"}, {"Server", "10.0.0.5"}};
    ASSERT_TRUE(start());
    form().ui().tServer.setText("10.0.0.");
    form().close();
    EXPECT_EQ(stored("Server"), "");
}

}  // namespace
