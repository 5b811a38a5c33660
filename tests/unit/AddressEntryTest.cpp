#include <gtest/gtest.h>

#include "link/Codec.h"
#include "support/LinkRig.h"

using namespace squadlink;
using namespace std::string_literals;

namespace {

constexpr int kEnter = 13;
constexpr int kEscape = 27;
constexpr int kC = 67;
constexpr int kV = 86;
constexpr int kX = 88;
constexpr int kCtrl = 2;
constexpr int kRetry = 4;
constexpr int kCancel = 2;

class AddressEntry_ : public ::testing::Test {
protected:
    void SetUp() override { rig.startArranger(); }
    void scanned() {
        rig.ui.tGame.setText("10.0.0.1");
        rig.ui.tPassword.setText("pw");
        rig.ui.lGameName.setCaption("Clan War Server");
        rig.ui.lGameSecure.setCaption("Valve Anti-Cheat (VAC)");
    }
    int key(TextBox& box, int code, int shift = 0) { return box.keyDown(code, shift); }
    FakeLinkRig rig;
};

TEST_F(AddressEntry_, TypingARefusedCharacterEmptiesTheBox) {
    scanned();
    EXPECT_EQ(rig.ui.tGame.keyPress(' '), ' ');
    rig.ui.tGame.setText("10.0.0.1 ");
    EXPECT_EQ(rig.ui.tGame.text(), "");
    rig.ui.tPassword.setText("a\"b");
    EXPECT_EQ(rig.ui.tPassword.text(), "");
    rig.ui.tNick.setText(std::string(30, 'n'));
    EXPECT_EQ(rig.ui.tNick.text(), std::string(23, 'n'));
}

TEST_F(AddressEntry_, KeyFilterSwallowsRefusedKeysAndControlCharacters) {
    EXPECT_EQ(rig.ui.tGame.keyPress(';'), 0);
    EXPECT_EQ(rig.ui.tGame.keyPress(22), 0);
    EXPECT_EQ(rig.ui.tPassword.keyPress('"'), 0);
    EXPECT_EQ(rig.ui.tPassword.keyPress(';'), ';');
    EXPECT_EQ(rig.ui.tServer.keyPress(':'), 0);
    EXPECT_EQ(rig.ui.tNick.keyPress('7'), '7');
}

TEST_F(AddressEntry_, AnyEditOfTheGameAddressDropsTheScanAndPassword) {
    scanned();
    rig.ui.tGame.setText("10.0.0.12");
    EXPECT_TRUE(rig.ui.lGameName.caption().empty());
    EXPECT_TRUE(rig.ui.lGameSecure.caption().empty());
    EXPECT_TRUE(rig.ui.tPassword.text().empty());
    scanned();
    key(rig.ui.tGame, kEscape);
    EXPECT_TRUE(rig.ui.tGame.text().empty());
    EXPECT_TRUE(rig.ui.lGameName.caption().empty());
    EXPECT_TRUE(rig.ui.tPassword.text().empty());
}

TEST_F(AddressEntry_, LeavingTheBoxesTidiesThem) {
    rig.ui.tGame.setText("10.0.0.1:");
    rig.ui.tGame.lostFocus();
    EXPECT_EQ(rig.ui.tGame.text(), "");
    rig.ui.tGame.setText("a.b");
    rig.ui.tGame.lostFocus();
    EXPECT_EQ(rig.ui.tGame.text(), "a.b");
    rig.ui.tServer.setText("10..1");
    rig.ui.tServer.lostFocus();
    EXPECT_EQ(rig.ui.tServer.text(), "");
    rig.ui.tNick.setText(" Boss ");
    rig.ui.tNick.lostFocus();
    EXPECT_EQ(rig.ui.tNick.text(), "Boss");
}

TEST_F(AddressEntry_, EnterScansFromTheGameBox) {
    rig.ui.tGame.setText("10.0.0.1");
    rig.timers.advance(600);
    rig.socket.sent.clear();
    key(rig.ui.tGame, kEnter);
    ASSERT_EQ(rig.socket.sent.size(), 1U);
    EXPECT_EQ(rig.socket.sent[0].data, "\xFF\xFF\xFF\xFFTSource Engine Query\0"s);
    key(rig.ui.tPassword, kEnter);
    EXPECT_EQ(rig.socket.sent.size(), 1U);
}

TEST_F(AddressEntry_, ClipboardKeys) {
    rig.clipboard.content = "sqd://10.0.0.5:27220/";
    key(rig.ui.tServer, kV, kCtrl);
    EXPECT_EQ(rig.ui.tServer.text(), "sqd");

    rig.clipboard.content = std::string(40, 'n');
    rig.ui.tNick.setText({});
    key(rig.ui.tNick, kV, kCtrl);
    EXPECT_EQ(rig.ui.tNick.text(), std::string(23, 'n'));

    // Paste replaces the selection.
    rig.ui.tGame.setText("10.0.0.1");
    rig.ui.tGame.noteSelection(5, 3);
    rig.clipboard.content = "77\r\n";
    key(rig.ui.tGame, kV, kCtrl);
    EXPECT_EQ(rig.ui.tGame.text(), "10.0.77");

    rig.ui.tGame.noteSelection(0, 4);
    key(rig.ui.tGame, kC, kCtrl);
    EXPECT_EQ(rig.clipboard.content, "10.0");
    key(rig.ui.tGame, kX, kCtrl);
    EXPECT_EQ(rig.ui.tGame.text(), ".77");

    // With a picture and no text on the clipboard, copying does nothing.
    rig.clipboard.content.clear();
    const int writes = rig.clipboard.writes;
    rig.ui.tGame.setText("10.0.0.1");
    rig.ui.tGame.noteSelection(0, 4);
    key(rig.ui.tGame, kC, kCtrl);
    EXPECT_EQ(rig.clipboard.writes, writes);
    // Another modifier with Ctrl is not a clipboard key.
    rig.clipboard.content = "x";
    key(rig.ui.tGame, kC, kCtrl | 1);
    EXPECT_EQ(rig.clipboard.content, "x");
}

TEST_F(AddressEntry_, BusyClipboardOffersRetryAndCancel) {
    rig.clipboard.content = "10.0.0.9";
    rig.clipboard.busyCalls = 1;
    rig.boxes.answers = {kRetry};
    rig.ui.coPasteGame.click();
    EXPECT_TRUE(rig.boxes.anyContains("Windows Clipboard was not available"));
    EXPECT_EQ(rig.boxes.shown.back().flags, 5 | mb::Warning);
    EXPECT_EQ(rig.ui.tGame.text(), "10.0.0.9");

    rig.clipboard.busyCalls = 5;
    rig.boxes.answers = {kCancel};
    rig.ui.tGame.setText({});
    rig.ui.coPasteGame.click();
    EXPECT_EQ(rig.ui.tGame.text(), "");
    EXPECT_FALSE(rig.lifecycle.ended());
}

TEST_F(AddressEntry_, PasteButtons) {
    rig.clipboard.content = "  10.0.0.1:27015  \r\n";
    rig.ui.coPasteGame.click();
    EXPECT_EQ(rig.ui.tGame.text(), "10.0.0.1:27015");

    rig.clipboard.content = "hello world";
    rig.ui.coPasteGame.click();
    EXPECT_EQ(rig.ui.tGame.text(), "10.0.0.1:27015");
    EXPECT_TRUE(rig.boxes.anyContains("Windows Clipboard contains invalid server address"));

    rig.clipboard.content.clear();
    rig.ui.coPasteAddress.click();
    EXPECT_TRUE(rig.boxes.anyContains("Windows Clipboard contains no textual information"));

    const std::pair<std::string, std::string> links[] = {{"sqd://10.0.0.5:27220/", "10.0.0.5"},
                                                         {"sqd://10.0.0.5", "10.0.0.5"},
                                                         {"sqd://10.0.0.5/", "10.0.0.7"}};
    for (const auto& [link, expected] : links) {
        rig.ui.tServer.setText("10.0.0.7");
        rig.clipboard.content = link;
        rig.ui.coPasteAddress.click();
        EXPECT_EQ(rig.ui.tServer.text(), expected) << link;
    }
}

TEST_F(AddressEntry_, CopyButtons) {
    rig.ui.lWAAddress.setCaption("192.168.1.10");
    rig.ui.coCopyWAIP.click();
    EXPECT_EQ(rig.clipboard.content, "192.168.1.10");
    rig.ui.coWALink.click();
    EXPECT_EQ(rig.clipboard.content, "sqd://192.168.1.10");
    rig.ui.lWAAddress.setCaption("");
    rig.ui.coWALink.click();
    EXPECT_TRUE(rig.boxes.anyContains("IP address invalid or unknown"));

    scanned();
    rig.ui.coCopyCommand[1].click();
    EXPECT_EQ(rig.clipboard.content, "password \"pw\"; connect 10.0.0.1");
    rig.ui.tPassword.setText({});
    rig.ui.coCopyCommand[1].click();
    EXPECT_EQ(rig.clipboard.content, "connect 10.0.0.1");

    rig.ui.lServer.setCaption("10.0.0.2:27016");
    rig.ui.lPassword.setCaption("x");
    rig.ui.coCopyCommand[0].click();
    EXPECT_EQ(rig.clipboard.content, "password \"x\"; connect 10.0.0.2:27016");

    // Whatever got into the labels, nothing outside the entry rules reaches the clipboard.
    rig.clipboard.content = "before";
    rig.ui.lPassword.setCaption("x\"; quit");
    rig.ui.coCopyCommand[0].click();
    EXPECT_EQ(rig.clipboard.content, "before");
    EXPECT_TRUE(rig.boxes.anyContains("Game server address invalid or not specified"));
}

}  // namespace
