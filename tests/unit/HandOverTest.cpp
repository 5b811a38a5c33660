#include <gtest/gtest.h>

#include <memory>

#include "link/Codec.h"
#include "shell/MainForm.h"
#include "support/ShellRig.h"

using namespace squadlink;
using namespace std::string_literals;

namespace {

// The command line and the hand-over of a link between two copies.
class HandOver_ : public ::testing::Test, public ShellRig {};

TEST_F(HandOver_, LinkOnTheCommandLineStartsAsFighterAndConnects) {
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

TEST_F(HandOver_, InvalidArgumentEndsSilently) {
    EXPECT_FALSE(start({"--help"}));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(settings.values.empty());
    EXPECT_FALSE(form().ui().frmSQD.visible());
}

TEST_F(HandOver_, SecondCopyHandsOverAndSavesNothing) {
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

TEST_F(HandOver_, HandedOverLinkIsConnectedByTheRunningCopy) {
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

}  // namespace
