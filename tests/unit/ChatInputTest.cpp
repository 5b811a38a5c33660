#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "chat/MemoryChatDocument.h"
#include "link/Codec.h"
#include "shell/MainForm.h"
#include "support/ShellRig.h"

using namespace squadlink;
using namespace std::string_literals;

namespace {

constexpr int kCtrl = 2;

// A whole program copy on fakes, its chat view kept in memory.
struct ChatRig : ShellRig {
    explicit ChatRig(bool arranger) {
        settings.values = {{"Nick", arranger ? "Boss" : "Viper"},
                           {"ServerMode", arranger ? "True" : "False"},
                           {"ClientMode", arranger ? "False" : "True"}};
        document.height = 0;
        EXPECT_TRUE(start());
        ui.tFlood.stop();
    }
    Chat& chat() { return form().chat(); }
    ChatInput& input() { return chat().input(); }
    void type(const std::string& text) {
        ui.tChat.setText(text);
        ui.tChat.moveCaretToEnd();
    }
    int key(int code, int shift = 0) { return ui.tChat.keyDown(code, shift); }
    // Types a line and presses Enter after the flood lock has passed.
    void send(const std::string& text) {
        timers.advance(600);
        type(text);
        key(13);
    }
    std::vector<std::string> sentPlain() const {
        std::vector<std::string> out;
        for (const auto& sent : socket.sent) {
            std::string text = sent.data;
            codec::unscramble(text);
            out.push_back(text);
        }
        return out;
    }
    void joinFighter(const std::string& nick, const std::string& address) {
        socket.deliver(codec::scramble(codec::build('1', {nick})), address);
    }
    void connectFighter() {
        state().sArrangerAddress = "10.0.0.2";
        state().sNick = "Viper";
    }
    FormState& state() { return form().state(); }

    WindowModel& ui = model;
};

class ArrangerChat : public ::testing::Test, public ChatRig {
protected:
    ArrangerChat() : ChatRig(true) {}
};

class FighterChat : public ::testing::Test, public ChatRig {
protected:
    FighterChat() : ChatRig(false) {}
};

// ---------------------------------------------------------------------------------------------
// History

TEST_F(ArrangerChat, TwentyLinesAreKeptNewestFirst) {
    for (int i = 1; i <= 21; ++i) {
        send("line " + std::to_string(i));
    }
    for (int i = 21; i >= 2; --i) {
        EXPECT_EQ(key(38), 0);
        EXPECT_EQ(ui.tChat.text(), "line " + std::to_string(i));
        EXPECT_EQ(ui.tChat.selStart(), ui.tChat.text().size());
    }
    key(38);
    EXPECT_EQ(ui.tChat.text(), "line 2");
    EXPECT_EQ(input().nHistoryPos(), 19);
    key(40);
    EXPECT_EQ(ui.tChat.text(), "line 3");
}

TEST_F(ArrangerChat, UpOnAnEmptyHistoryShowsAnEmptyBox) {
    type("draft");
    key(38);
    EXPECT_EQ(ui.tChat.text(), "");
    EXPECT_EQ(input().nHistoryPos(), 0);
    EXPECT_TRUE(input().bHistoryBrowsing());
}

TEST_F(ArrangerChat, UpStepsBackOnlyOnceOverAnEmptyEntry) {
    send("one");
    send("two");
    key(38);
    key(38);
    key(38);
    EXPECT_EQ(ui.tChat.text(), "one");
    EXPECT_EQ(input().nHistoryPos(), 1);
}

TEST_F(ArrangerChat, RecalledLineSentAgainMovesToTheFront) {
    for (const char* line : {"a1", "b2", "c3", "d4", "e5"}) {
        send(line);
    }
    for (int i = 0; i < 4; ++i) {
        key(38);
    }
    EXPECT_EQ(ui.tChat.text(), "b2");
    timers.advance(600);
    key(13);
    const auto& history = input().ChatHistory();
    EXPECT_EQ(history[0], "b2");
    EXPECT_EQ(history[1], "e5");
    EXPECT_EQ(history[2], "d4");
    EXPECT_EQ(history[3], "c3");
    EXPECT_EQ(history[4], "a1");
    EXPECT_EQ(history[5], "");
    EXPECT_TRUE(input().bHistoryBrowsing());
    EXPECT_EQ(input().nHistoryPos(), -1);
}

TEST_F(ArrangerChat, ResendingTheNewestLineLeavesTheHistoryAlone) {
    send("first");
    send("second");
    key(38);
    timers.advance(600);
    key(13);
    EXPECT_EQ(input().ChatHistory()[0], "second");
    EXPECT_EQ(input().ChatHistory()[1], "first");
    EXPECT_EQ(input().ChatHistory()[2], "");
}

TEST_F(ArrangerChat, BrowsingFlagRules) {
    send("hello");
    key(38);
    key(32);  // a blank keeps the recalled line
    EXPECT_TRUE(input().bHistoryBrowsing());
    key('A');
    EXPECT_FALSE(input().bHistoryBrowsing());
    key(38);
    key(27);
    EXPECT_FALSE(input().bHistoryBrowsing());
    EXPECT_EQ(ui.tChat.text(), "");
    EXPECT_EQ(input().nHistoryPos(), 0);
    key(40);
    EXPECT_EQ(input().nHistoryPos(), -1);
    EXPECT_EQ(ui.tChat.text(), "");
    // Down keeps browsing: "hello" sent again is found nowhere past entry 0 and changes nothing.
    send("hello");
    EXPECT_EQ(input().ChatHistory()[1], "");
    // Typed over, a line that matches an older entry is added as a new one.
    key('H');
    send("hello");
    EXPECT_EQ(input().ChatHistory()[0], "hello");
    EXPECT_EQ(input().ChatHistory()[1], "hello");
}

// ---------------------------------------------------------------------------------------------
// Keys, change rule and flood lock

TEST_F(ArrangerChat, ControlCharactersNeverReachTheBox) {
    for (int c = 0; c < 32; ++c) {
        EXPECT_EQ(ui.tChat.keyPress(c), c == 8 ? 8 : 0) << c;
    }
    EXPECT_EQ(ui.tChat.keyPress('a'), 'a');
    EXPECT_EQ(ui.tChat.keyPress(0xE9), 0xE9);
}

TEST_F(ArrangerChat, ChangeRuleCutsLongTextAndEmptiesOnControlCharacters) {
    type(std::string(300, 'q'));
    EXPECT_EQ(ui.tChat.text(), std::string(256, 'q'));
    type("one\ntwo");
    EXPECT_EQ(ui.tChat.text(), "");
    type(std::string(299, 'q') + "\t");
    EXPECT_EQ(ui.tChat.text(), std::string(256, 'q'));
}

TEST_F(ArrangerChat, SecondEnterWithinTheLockIsRefused) {
    joinFighter("Hawk", "10.0.0.12");
    send("first");
    type("second");
    key(13);
    EXPECT_TRUE(boxes.anyContains("Action canceled by flood protection"));
    EXPECT_EQ(boxes.shown.back().flags, mb::Warning);
    EXPECT_EQ(ui.tChat.text(), "second");
    timers.advance(500);
    key(13);
    EXPECT_EQ(ui.tChat.text(), "");
}

TEST_F(ArrangerChat, EmptyEnterArmsTheLockToo) {
    type("   ");
    key(13);
    EXPECT_TRUE(ui.tFlood.running());
    EXPECT_EQ(ui.tChat.text(), "   ");
    EXPECT_EQ(input().ChatHistory()[0], "");
}

TEST_F(ArrangerChat, PasteTakesTheClipboardUnderTheBoxRules) {
    std::string pasted;
    for (int i = 0; i < 30; ++i) {
        pasted += "word\tword\r\n";
    }
    clipboard.content = pasted;  // 330 characters
    type("");
    key('V', kCtrl);
    const std::string& text = ui.tChat.text();
    EXPECT_LE(text.size(), 256u);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(text.find('\t'), std::string::npos);
    EXPECT_EQ(text.substr(0, 18), "word     wordword ");

    // Into the selection; Alt or Shift held with Ctrl does nothing.
    clipboard.content = "XY";
    type("abcdef");
    ui.tChat.setSelection(2, 2);
    key('V', kCtrl);
    EXPECT_EQ(ui.tChat.text(), "abXYef");
    EXPECT_EQ(ui.tChat.selStart(), 4u);
    key('V', kCtrl | 1);
    EXPECT_EQ(ui.tChat.text(), "abXYef");

    // A lone line feed comes in as it is and the change rule empties the box.
    clipboard.content = "a\nb";
    key('V', kCtrl);
    EXPECT_EQ(ui.tChat.text(), "");
}

TEST_F(ArrangerChat, CopyAndCutTakeTheSelection) {
    clipboard.content = "old";
    type("hello world");
    ui.tChat.setSelection(6, 5);
    key('C', kCtrl);
    EXPECT_EQ(clipboard.content, "world");
    EXPECT_EQ(ui.tChat.text(), "hello world");
    ui.tChat.setSelection(0, 6);
    key('X', kCtrl);
    EXPECT_EQ(clipboard.content, "hello ");
    EXPECT_EQ(ui.tChat.text(), "world");
}

TEST_F(ArrangerChat, BusyClipboardAsksRetryOrCancel) {
    clipboard.content = "text";
    clipboard.busyCalls = 1;
    boxes.answers = {4};  // Retry
    type("");
    key('V', kCtrl);
    EXPECT_EQ(ui.tChat.text(), "text");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find("Windows Clipboard was not available"), std::string::npos);
    EXPECT_EQ(boxes.shown[0].flags, 53);
    clipboard.busyCalls = 1;
    boxes.answers = {2};  // Cancel
    type("");
    key('V', kCtrl);
    EXPECT_EQ(ui.tChat.text(), "");
}

// ---------------------------------------------------------------------------------------------
// Lines and commands

TEST_F(ArrangerChat, LinesGoToEveryFighterAndShowHereFirst) {
    send("hello");
    EXPECT_NE(document.shown().find("\n*\n* No Fighters connected yet"), std::string::npos);
    EXPECT_TRUE(socket.sent.empty());
    joinFighter("Hawk", "10.0.0.12");
    joinFighter("Viper", "10.0.0.11");
    socket.sent.clear();
    send("  hello all  ");
    send("/ME  waves  ");
    EXPECT_NE(document.shown().find("] <Boss> hello all\n[09:05:07] * Boss waves"),
              std::string::npos);
    const auto sent = sentPlain();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[0], "B\0Boss\0hello all\0"s);
    EXPECT_EQ(sent[1], "B\0Boss\0hello all\0"s);
    EXPECT_EQ(sent[2], "A\0Boss\0waves\0"s);
    EXPECT_EQ(socket.sent[0].host == "10.0.0.12" || socket.sent[1].host == "10.0.0.12", true);
}

TEST_F(ArrangerChat, CommandsInAnyCase) {
    send("/C");
    EXPECT_EQ(document.shown(), "\n*\n* Chat screen cleared");
    send("/Help");
    EXPECT_NE(document.shown().find("* Useful tips"), std::string::npos);
    document.clear();
    send("/s");
    EXPECT_NE(document.shown().find("* Supported smileys:"), std::string::npos);
    document.clear();
    send("/WHO");
    EXPECT_EQ(document.shown(), "\n*\n* No Fighters connected yet");
    joinFighter("Hawk", "10.0.0.12");
    document.clear();
    send("/w");
    EXPECT_NE(document.shown().find("\n*\tHawk "), std::string::npos);
    EXPECT_EQ(clipboard.writes, 0);
}

TEST_F(ArrangerChat, NoticeOnlyForAnActionWithoutFighters) {
    send("/me dances");
    const std::string notice = "\n*\n* No Fighters connected yet";
    EXPECT_EQ(document.shown().substr(document.shown().size() - notice.size()), notice);
    EXPECT_EQ(document.shown().find("dances"), std::string::npos);
}

TEST_F(FighterChat, LinesGoToTheArrangerAndArmTheReplyTimeOut) {
    send("hi");
    EXPECT_NE(document.shown().find("\n*\n* Not connected to War Arranger"), std::string::npos);
    send("/who");
    EXPECT_TRUE(socket.sent.empty());
    connectFighter();
    send("hi there");
    EXPECT_TRUE(ui.tTimeout.running());
    send("/me");
    send("/me    ");
    send("/me jumps");
    send("/who");
    send("/who is here");
    const auto sent = sentPlain();
    ASSERT_EQ(sent.size(), 6u);
    EXPECT_EQ(sent[0], "7\0hi there\0"s);
    EXPECT_EQ(sent[1], "7\0/me\0"s);
    EXPECT_EQ(sent[2], "7\0/me\0"s);
    EXPECT_EQ(sent[3], "6\0jumps\0"s);
    EXPECT_EQ(sent[4], "5\0"s);
    EXPECT_EQ(sent[5], "7\0/who is here\0"s);
    EXPECT_EQ(socket.sent[0].host, "10.0.0.2");
    EXPECT_NE(document.shown().find("<Viper> hi there"), std::string::npos);
    EXPECT_NE(document.shown().find("* Viper jumps"), std::string::npos);
}

// Without the War Arranger's acknowledgement the line's time-out drops the connection.
TEST_F(FighterChat, UnansweredLineTimesOut) {
    connectFighter();
    send("anyone?");
    timers.advance(30'000);
    EXPECT_TRUE(state().sArrangerAddress.empty());
    EXPECT_NE(document.shown().find("War Arranger timed out"), std::string::npos);
}

TEST_F(FighterChat, AcknowledgedLineKeepsTheConnection) {
    connectFighter();
    send("anyone?");
    socket.deliver(codec::scramble("E\0"s), "10.0.0.2");
    EXPECT_FALSE(ui.tTimeout.running());
}

// On a fast network the acknowledgement comes back while the send still lets events run.
TEST_F(FighterChat, AcknowledgementArrivingDuringTheSendIsNotLost) {
    connectFighter();
    socket.afterSend = [this](const FakeSocket::Sent&) {
        socket.afterSend = nullptr;
        socket.deliver(codec::scramble("E\0"s), "10.0.0.2");
    };
    send("quick");
    EXPECT_FALSE(ui.tTimeout.running());
    timers.advance(30'000);
    EXPECT_EQ(state().sArrangerAddress, "10.0.0.2");
}

TEST_F(FighterChat, ReceivedChatIsShownAndNotified) {
    connectFighter();
    ui.Tabek.setSelectedTab(tab::Configuration);
    socket.deliver(codec::scramble("B\0Hawk\0look http://x.org :)\0"s), "10.0.0.2");
    EXPECT_NE(document.shown().find("<Hawk> look http://x.org {401}"), std::string::npos);
    socket.deliver(codec::scramble("C\0Hawk\0"
                                   "170\0"s),
                   "10.0.0.2");
    EXPECT_NE(document.shown().find("- Hawk just scored 170 ms on reflex test! Very nice"),
              std::string::npos);
}

// ---------------------------------------------------------------------------------------------
// Smiley options

TEST_F(ArrangerChat, SmileyChoiceIsStoredAndRebuildsTheBlock) {
    EXPECT_TRUE(ui.oSmiley2.value());
    ui.oSmiley1.click();
    EXPECT_EQ(settings.values["Smiley1"], "True");
    EXPECT_EQ(settings.values["Smiley2"], "False");
    EXPECT_EQ(settings.values["Smiley3"], "False");
    document.clear();
    send("/s");
    EXPECT_NE(document.shown().find("{301}\t{302}"), std::string::npos);
}

TEST(ChatSettings, StoredSmileyChoiceIsRestored) {
    ChatRig rig(true);
    rig.settings.values["Smiley3"] = "True";
    rig.settings.values["Smiley2"] = "False";
    rig.chat().LoadSettings();
    EXPECT_TRUE(rig.ui.oSmiley3.value());
    EXPECT_FALSE(rig.ui.oSmiley2.value());
}

// ---------------------------------------------------------------------------------------------
// Link actions

TEST(WordAtPoint, WordRules) {
    const std::string s = "ab http://x.org/p cd\n[1] irc://ab ftp://x";
    struct Case {
        int c;
        std::string word;
    };
    const std::vector<Case> cases = {
        {0, ""},                 // before the first character
        {3, ""},                 // the blank before the word
        {4, "http://x.org/p"},   // on its first letter: position c is the blank
        {10, "http://x.org/p"},  // inside
        {17, "http://x.org/p"},  // on the blank after it
        {19, ""},                // "cd" is short
        {28, "irc://ab"},        // seven characters or more make a word
        {40, "ftp://x"},         // last letter
        {41, ""},                // past the end
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LinkActions::wordAt(s, c.c), c.word) << c.c;
    }
    EXPECT_EQ(LinkActions::wordAt("x ftp://a", 4), "ftp://a");
    EXPECT_EQ(LinkActions::wordAt("x irc://", 4), "");
}

class LinkActionsTest : public ::testing::Test, public ChatRig {
protected:
    LinkActionsTest() : ChatRig(true) {
        document.clear();
        // Column c of line 0 is x = 8c .. 8c+7; the view moves the point 4 pixels right.
        document.appendText("go ftp://a irc:// sqd://10.0.0.2/ longwordhere", {}, true);
    }
    void hover(int column) { ui.rtb.mouseMove(column * 8, 2); }
};

TEST_F(LinkActionsTest, HandOnlyOverLinks) {
    hover(5);
    EXPECT_EQ(chat().links().sHoverLink(), "ftp://a");
    EXPECT_TRUE(document.handPointer);
    hover(13);
    EXPECT_EQ(chat().links().sHoverLink(), "");
    EXPECT_FALSE(document.handPointer);
    hover(25);
    EXPECT_EQ(chat().links().sHoverLink(), "sqd://10.0.0.2/");
    EXPECT_TRUE(document.handPointer);
    hover(40);
    EXPECT_EQ(chat().links().sHoverLink(), "");
    EXPECT_FALSE(document.handPointer);
    ui.rtb.dblClick();
    EXPECT_TRUE(desktop.urls.empty());
}

TEST_F(LinkActionsTest, DoubleClickAndMenuOpenTheLink) {
    hover(25);
    ui.rtb.dblClick();
    ASSERT_EQ(desktop.urls.size(), 1u);
    EXPECT_EQ(desktop.urls[0], "sqd://10.0.0.2/");
    int popups = 0;
    ui.mLinkMenu.popupRequested.connect([&] { ++popups; });
    ui.rtb.mouseUp(MouseButton::Right, 0, 0);
    EXPECT_EQ(popups, 1);
    ui.mOpenLink.click();
    EXPECT_EQ(desktop.urls.size(), 2u);
    clipboard.content = "mine";
    ui.mCopyLink.click();
    EXPECT_EQ(clipboard.content, "sqd://10.0.0.2/");
    hover(13);
    ui.rtb.mouseUp(MouseButton::Right, 0, 0);
    EXPECT_EQ(popups, 1);
}

TEST_F(LinkActionsTest, SelectionIsCopiedOnRelease) {
    clipboard.content = "mine";
    ui.rtb.mouseUp(MouseButton::Left, 0, 0);
    EXPECT_EQ(clipboard.content, "mine");
    document.selection = "go ftp";
    int focus = 0;
    ui.tChat.focusRequested.connect([&] { ++focus; });
    ui.rtb.mouseUp(MouseButton::Left, 0, 0);
    EXPECT_EQ(clipboard.content, "go ftp");
    EXPECT_EQ(document.selection, "");
    EXPECT_EQ(focus, 1);
}

TEST_F(LinkActionsTest, ClearingTheViewPutsTheArrowBack) {
    hover(5);
    chat().view().ClearChatView();
    EXPECT_FALSE(document.handPointer);
    ui.rtb.dblClick();
    EXPECT_TRUE(desktop.urls.empty());
}

TEST_F(ArrangerChat, RightClickReplacesTheInputWithTheClipboard) {
    type("kept");
    clipboard.content = "";
    ui.tChat.rightClick();
    EXPECT_EQ(ui.tChat.text(), "kept");
    clipboard.content = std::string(300, 'p');
    ui.tChat.rightClick();
    EXPECT_EQ(ui.tChat.text(), std::string(256, 'p'));
    EXPECT_TRUE(ui.tChat.takesRightClick());
}

// ---------------------------------------------------------------------------------------------
// Reflex tester, on virtual time

class Reflex : public ::testing::Test, public ChatRig {
protected:
    Reflex() : ChatRig(true) {
        chat().reflex().setRandom([this](std::int64_t) { return nextRandom; });
    }
    // One attempt that takes `ms` from the change of colour to the release.
    void attempt(std::int64_t ms) {
        ui.pbReflex.mouseDown(MouseButton::Left, 5, 5);
        ASSERT_EQ(ui.lReflexTest.caption(), "GET READY");
        timers.advance(ui.tSW.interval());
        ASSERT_EQ(ui.lReflexTest.caption(), "TIMING");
        timers.advance(ms);
        ui.pbReflex.mouseUp(MouseButton::Left, 5, 5);
    }
    float nextRandom = 0.5F;
};

TEST_F(Reflex, WaitIsThreeToSevenSecondsWithHalvesToEven) {
    const std::vector<std::pair<float, int>> cases = {
        {0.0F, 3000}, {0.124F, 3000}, {0.125F, 4000}, {0.3F, 4000}, {0.375F, 4000},
        {0.5F, 5000}, {0.625F, 6000}, {0.875F, 6000}, {0.99F, 7000}};
    for (const auto& [r, interval] : cases) {
        nextRandom = r;
        ui.pbReflex.mouseDown(MouseButton::Left, 0, 0);
        EXPECT_EQ(ui.tSW.interval(), interval) << r;
        EXPECT_EQ(ui.pbReflex.backColour(), PictureBox::Colour::ButtonText);
        ui.pbReflex.mouseDown(MouseButton::Left, 0, 0);  // out of phase: reset
        EXPECT_EQ(ui.lReflexTest.caption(), "TEST AREA");
        EXPECT_FALSE(ui.tSW.running());
    }
}

TEST_F(Reflex, FiveAttemptsMakeAnAverageWithTheFractionDropped) {
    for (const int ms : {200, 201, 202, 203, 204}) {
        attempt(ms);
    }
    EXPECT_EQ(ui.lReflexTime0.caption(), "1) 200 ms");
    EXPECT_EQ(ui.lReflexTime4.caption(), "5) 204 ms");
    EXPECT_EQ(ui.lReflexAverage.caption(), "Your average reaction time was: 202 ms");
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_NE(
        boxes.shown.back().text.find("You finished the test with average reaction time of 202 ms"),
        std::string::npos);
    EXPECT_EQ(boxes.shown.back().flags, mb::Information);
    EXPECT_NE(boxes.shown.back().caption.find("Reflex tester"), std::string::npos);

    // A sixth press asks for Clear; Clear restores every caption.
    ui.pbReflex.mouseDown(MouseButton::Left, 0, 0);
    EXPECT_TRUE(boxes.anyContains("Clear your current test results to start a new test"));
    ui.coReflexClear.click();
    EXPECT_TRUE(boxes.anyContains("Current test results have been cleared"));
    EXPECT_EQ(ui.lReflexTime4.caption(), "5) ??? ms");
    EXPECT_EQ(ui.lReflexAverage.caption(), "Your average reaction time was: ??? ms");
    ui.coReflexClear.click();
    EXPECT_TRUE(boxes.anyContains("No test results to clear"));

    for (const int ms : {200, 200, 200, 200, 204}) {
        attempt(ms);
    }
    EXPECT_EQ(ui.lReflexAverage.caption(), "Your average reaction time was: 200 ms");
}

TEST_F(Reflex, SlowAttemptsCountAs999) {
    for (int i = 0; i < 5; ++i) {
        attempt(1500);
    }
    EXPECT_EQ(ui.lReflexTime4.caption(), "5) 999 ms");
    EXPECT_EQ(ui.lReflexAverage.caption(), "Your average reaction time was: 999 ms");
}

TEST_F(Reflex, EarlyReleaseClearsTheResultsSoFar) {
    attempt(210);
    attempt(220);
    attempt(230);
    ui.pbReflex.mouseDown(MouseButton::Left, 0, 0);
    timers.advance(1000);
    ui.pbReflex.mouseUp(MouseButton::Left, 0, 0);
    EXPECT_TRUE(boxes.anyContains("You released mouse button before test area changed its color"));
    EXPECT_TRUE(boxes.anyContains("Take a new test and do not cheat next time"));
    EXPECT_EQ(chat().reflex().nReflexCount(), 0);
    EXPECT_EQ(ui.lReflexTime0.caption(), "1) ??? ms");
    EXPECT_FALSE(ui.tSW.running());
    // Other buttons do nothing.
    ui.pbReflex.mouseDown(MouseButton::Right, 0, 0);
    EXPECT_EQ(ui.lReflexTest.caption(), "TEST AREA");
}

TEST_F(Reflex, ArrangerAnnouncesToEveryFighterOnYes) {
    joinFighter("Hawk", "10.0.0.12");
    socket.sent.clear();
    boxes.answers = {mb::Yes};
    for (const int ms : {150, 160, 170, 160, 160}) {
        attempt(ms);
    }
    EXPECT_EQ(boxes.shown.back().flags, mb::YesNoInformation);
    EXPECT_NE(boxes.shown.back().text.find("Do you want to announce your score on chat?"),
              std::string::npos);
    EXPECT_NE(document.shown().find("- Boss just scored 160 ms on reflex test! We have a l33t"),
              std::string::npos);
    const auto sent = sentPlain();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0],
              "C\0Boss\0"
              "160\0"s);
}

TEST_F(Reflex, FighterAnnouncesToTheArrangerAndWaitsForTheAcknowledgement) {
    ui.oClient.setValue(true);
    connectFighter();
    socket.sent.clear();
    boxes.answers = {mb::Yes};
    for (int i = 0; i < 5; ++i) {
        attempt(185);
    }
    const auto sent = sentPlain();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0],
              "8\0"
              "185\0"s);
    EXPECT_TRUE(ui.tTimeout.running());
    EXPECT_NE(document.shown().find("Viper just scored 185 ms on reflex test. Are you good"),
              std::string::npos);
}

TEST_F(Reflex, NoAnswerShowsAndSendsNothing) {
    joinFighter("Hawk", "10.0.0.12");
    socket.sent.clear();
    boxes.answers = {mb::No};
    const std::string before = document.shown();
    for (int i = 0; i < 5; ++i) {
        attempt(185);
    }
    EXPECT_TRUE(socket.sent.empty());
    EXPECT_EQ(document.shown(), before);
}

}  // namespace
