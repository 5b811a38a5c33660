#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "chat/ChatMarkup.h"
#include "chat/MemoryChatDocument.h"
#include "chat/RichChatView.h"
#include "support/FakeServices.h"
#include "support/FakeSocket.h"

using namespace squadlink;
using namespace std::string_literals;
using DocRun = MemoryChatDocument::Run;

namespace {

constexpr Rgb kNormal{229, 229, 229};
constexpr Rgb kScore{229, 92, 229};
constexpr Rgb kNotice{92, 229, 229};
constexpr Rgb kAction{229, 229, 92};

struct ViewRig {
    ViewRig() {
        clock.date = {2026, 12, 8, 9, 5, 7};
        ui.oSmiley2.setValue(true);
        document.height = 0;  // no blank lines on clearing unless a test asks
    }
    WindowModel ui;
    FormState state;
    FakeClock clock;
    FakeAttention attention;
    FakeSocket socket;
    MemoryChatDocument document;
    RichChatView view{RichChatView::Services{ui, state, clock, attention, socket}, document};
};

class ChatView_ : public ::testing::Test, public ViewRig {};

// ---------------------------------------------------------------------------------------------
// Markup encoding

struct MarkupCase {
    std::string text;
    std::string encoded;
    bool plain;
};

TEST(ChatMarkup, EncodesSmileysAndLinkStartsInOrder) {
    const std::vector<MarkupCase> cases = {
        {"hello there", "hello there", true},
        {"word :) :D :d", "word \x01 \x05 :d", false},
        {">:(", "\x06", false},
        {"::)", "\x09", false},
        {":'(", "\x0A", false},
        {":( ;) :| 8) ^^", "\x02 \x03 \x07 \x0B \x0C", false},
        {":p :P :o :O", "\x04 \x04 \x08 \x08", false},
        {":D:D", "\x05\x05", false},
        {":)))", "\x01))", false},
        {"see http://a.b/c ok", "see \rhttp://a.b/c ok", false},
        {"http://start.org", "\rhttp://start.org", false},
        {"xhttp://glued.org", "xhttp://glued.org", true},
        {"go HTTPS://LOUD.ORG", "go \rHTTPS://LOUD.ORG", false},
        {"a  sqd://1.2.3.4/", "a  \rsqd://1.2.3.4/", false},
        {"teamspeak://t gopher://g telnet://t nntp://n ftp://f irc://i",
         "\rteamspeak://t \rgopher://g \rtelnet://t \rnntp://n \rftp://f \rirc://i", false},
        {"file:///etc/passwd", "file:///etc/passwd", true},
        {"mailto:a@b.c www.x.org", "mailto:a@b.c www.x.org", true},
        {"http://a.b :)", "\rhttp://a.b \x01", false},
        {"", "", true},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        const bool plain = chatmarkup::EncodeChatMarkup(text);
        EXPECT_EQ(text, c.encoded) << c.text;
        EXPECT_EQ(plain, c.plain) << c.text;
    }
}

TEST(ChatMarkup, RemarkThresholds) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"0", "l33t"},       {"160", "l33t"},           {"161", "real pro"}, {"170", "real pro"},
        {"171", "g33k"},     {"180", "g33k"},           {"181", "carrying"}, {"190", "carrying"},
        {"191", "n00b"},     {"999", "n00b"},           {"abc", "l33t"},     {"-5", "l33t"},
        {" 175 ms", "g33k"}, {"99999999999999", "n00b"}};
    for (const auto& [score, word] : cases) {
        EXPECT_NE(std::string(chatmarkup::reflexRemark(score)).find(word), std::string::npos)
            << score;
    }
    EXPECT_EQ(chatmarkup::reflexRemark("160"),
              " ms on reflex test! We have a l33t here people, show some respect!");
    EXPECT_EQ(chatmarkup::reflexRemark("191"),
              " ms on reflex test. Man, this n00b should be kicked out of clan...");
}

// ---------------------------------------------------------------------------------------------
// Line formats

struct FormatCase {
    bool newLine;
    ChatLineKind kind;
    std::string nick;
    std::string text;
    std::string shown;
    Rgb colour;
};

TEST_F(ChatView_, LineFormatsOfEveryKind) {
    const std::vector<FormatCase> cases = {
        {true, ChatLineKind::Normal, "Viper", "hi all", "\n[09:05:07] <Viper> hi all", kNormal},
        {true, ChatLineKind::Action, "Viper", "waves", "\n[09:05:07] * Viper waves", kAction},
        {true, ChatLineKind::Notice, "", "Chat screen cleared", "\n*\n* Chat screen cleared",
         kNotice},
        {true, ChatLineKind::ReflexScore, "Hawk", "160",
         "\n[09:05:07] - Hawk just scored 160 ms on reflex test! We have a l33t here people, "
         "show some respect!",
         kScore},
        {false, ChatLineKind::ReflexScore, "Hawk", "191",
         "\n[09:05:07] - Hawk just scored 191 ms on reflex test. Man, this n00b should be "
         "kicked out of clan...",
         kScore},
        {false, ChatLineKind::Normal, "Viper", "tail", "tail", kNormal},
        {false, ChatLineKind::Action, "Viper", "tail", "tail", kAction},
    };
    for (const auto& c : cases) {
        document.clear();
        view.AppendChatLine(c.newLine, c.nick, c.text, false, c.kind);
        EXPECT_EQ(document.shown(), c.shown) << c.text;
        for (const DocRun& run : document.runs) {
            if (run.kind == DocRun::Kind::Text) {
                EXPECT_EQ(run.colour, c.colour) << c.text;
                EXPECT_FALSE(run.link);
            }
        }
    }
}

TEST_F(ChatView_, EventLineIsTimeStampedInScoreColour) {
    clock.date.hour = 23;
    clock.date.minute = 0;
    clock.date.second = 9;
    view.AddEventLine("Viper (IP: 10.0.0.11) joined");
    EXPECT_EQ(document.shown(), "\n[23:00:09] Viper (IP: 10.0.0.11) joined");
    EXPECT_EQ(document.runs.back().colour, kScore);
}

TEST_F(ChatView_, MessageWithSmileysShowsPicturesOfTheChosenSet) {
    view.AddChatMessage("Viper", "word :) :D :d", ChatLineKind::Normal);
    EXPECT_EQ(document.shown(), "\n[09:05:07] <Viper> word {401} {405} :d");
    ui.oSmiley1.setValue(true);
    view.AddChatMessage("Viper", ">:(", ChatLineKind::Action);
    EXPECT_EQ(document.shown(),
              "\n[09:05:07] <Viper> word {401} {405} :d\n[09:05:07] * Viper {306}");
    EXPECT_EQ(document.runs.back().kind, DocRun::Kind::Picture);
    ui.oSmiley3.setValue(true);
    view.AddChatMessage("Viper", "^^", ChatLineKind::ReflexScore);
    EXPECT_EQ(document.runs.back().picture, 512);
}

TEST_F(ChatView_, LinksAreShownInLinkStyleAndNeverShowTheMarker) {
    view.AddChatMessage("Viper", "see http://a.b/c?x=1 now", ChatLineKind::Normal);
    ASSERT_EQ(document.runs.size(), 5u);
    EXPECT_EQ(document.runs[1].text, "[09:05:07] <Viper> ");
    EXPECT_EQ(document.runs[2].text, "see ");
    EXPECT_FALSE(document.runs[2].link);
    EXPECT_EQ(document.runs[3].text, "http://a.b/c?x=1");
    EXPECT_TRUE(document.runs[3].link);
    EXPECT_EQ(document.runs[4].text, " now");
    EXPECT_FALSE(document.runs[4].link);
    EXPECT_EQ(document.plainText().find('\r'), std::string::npos);

    // A text ending in a link is followed by one plain blank.
    document.clear();
    view.AddChatMessage("Viper", "go sqd://10.0.0.2/", ChatLineKind::Normal);
    EXPECT_TRUE(document.runs[document.runs.size() - 2].link);
    EXPECT_EQ(document.runs.back().text, " ");
    EXPECT_FALSE(document.runs.back().link);

    // A bare scheme is no link.
    for (const std::string text : {"http://", "http:// x", "x http://"}) {
        document.clear();
        view.AddChatMessage("Viper", text, ChatLineKind::Normal);
        for (const DocRun& run : document.runs) {
            EXPECT_FALSE(run.link) << text;
        }
        EXPECT_EQ(document.shown(), "\n[09:05:07] <Viper> " + text) << text;
    }
}

TEST_F(ChatView_, PlainMessageGoesInOnePiece) {
    view.AddChatMessage("Viper", "plain words", ChatLineKind::Normal);
    ASSERT_EQ(document.runs.size(), 2u);
    EXPECT_EQ(document.runs[1].text, "[09:05:07] <Viper> plain words");
}

TEST_F(ChatView_, LongReceivedTextIsShownInFull) {
    const std::string text(256, 'w');
    view.ShowReceivedChat("Hawk\0"s + text + "\0"s, ChatLineKind::Normal);
    EXPECT_EQ(document.shown(), "\n[09:05:07] <Hawk> " + text);
    EXPECT_EQ(attention.chatNotifications, 1);
}

TEST_F(ChatView_, ReceivedChatNeedsBothSeparators) {
    state.sArrangerAddress = "10.0.0.2";
    view.ShowReceivedChat("Hawk\0no end"s, ChatLineKind::Normal);
    view.ShowReceivedChat("no separator", ChatLineKind::Normal);
    EXPECT_TRUE(document.runs.empty());
    EXPECT_EQ(attention.chatNotifications, 0);
    EXPECT_EQ(ui.tServer.text(), "10.0.0.2");
}

// Whatever a peer sends is shown as the characters it typed: never markup, never a line of
// its own, never a link that opens by itself.
TEST_F(ChatView_, HostileReceivedLinesShowAsTyped) {
    struct Case {
        std::string text;
        std::string shown;
    };
    const std::vector<Case> cases = {
        {"<b>x</b>", "<b>x</b>"},
        {"<img src=http://evil/x.png>", "<img src=http://evil/x.png>"},
        {"&amp; &lt;", "&amp; &lt;"},
        {"file:///etc/passwd", "file:///etc/passwd"},
        {"a\x07"
         "b\nc\r\nd\x1b[31m",
         "a b c  d [31m"},
        {"\r\n[09:05:07] <Boss> fake", "  [09:05:07] <Boss> fake"},
        {"\x80\xe9\xff\xa0", "\x80\xe9\xff\xa0"},
        {std::string(380, 'x'), std::string(380, 'x')},
        {"{\\rtf1 \\b bold}", "{\\rtf1 \\b bold}"},
    };
    for (const auto& c : cases) {
        document.clear();
        view.ShowReceivedChat("Hawk\0"s + c.text + "\0"s, ChatLineKind::Normal);
        EXPECT_EQ(document.shown(), "\n[09:05:07] <Hawk> " + c.shown) << c.text;
        EXPECT_EQ(document.runs.front().kind, DocRun::Kind::LineBreak);
        for (std::size_t i = 1; i < document.runs.size(); ++i) {
            EXPECT_EQ(document.runs[i].kind, DocRun::Kind::Text) << c.text;
            EXPECT_FALSE(document.runs[i].link) << c.text;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Clearing

TEST_F(ChatView_, ClearingFillsTheViewWithLineBreaksUpToThirtyLines) {
    const std::vector<std::pair<int, int>> cases = {{300, 20}, {15, 1}, {450, 30},
                                                    {465, 0},  {14, 0}, {0, 0}};
    for (const auto& [height, breaks] : cases) {
        document.height = height;
        view.AppendChatLine(true, "x", "y", false, ChatLineKind::Normal);
        view.ClearChatView();
        EXPECT_EQ(document.shown(), std::string(static_cast<std::size_t>(breaks), '\n')) << height;
    }
}

// A view not laid out yet (its page not shown) has no height: the clear's padding goes before
// whatever was written meanwhile once it is laid out, counted as if made at once. Padding
// happens once; a later clear pads at once.
TEST_F(ChatView_, AViewLaidOutAfterItsClearIsPaddedThen) {
    ViewRig atOnce;
    atOnce.document.height = 300;
    document.height = -1;
    for (ViewRig* rig : {&atOnce, static_cast<ViewRig*>(this)}) {
        rig->view.ClearChatView();
        rig->view.AddChatMessage("Hawk", "first :)", ChatLineKind::Normal);
    }
    const std::string padded = atOnce.document.shown();
    ASSERT_EQ(padded.substr(0, 20), std::string(20, '\n'));
    EXPECT_EQ(document.shown(), padded.substr(20));
    EXPECT_LT(view.richSize(), atOnce.view.richSize());

    view.ViewLaidOut();
    EXPECT_EQ(document.shown(), padded.substr(20));
    document.height = 300;
    view.ViewLaidOut();
    EXPECT_EQ(document.shown(), padded);
    EXPECT_EQ(view.richSize(), atOnce.view.richSize());
    view.ViewLaidOut();
    EXPECT_EQ(document.shown(), padded);

    view.ClearChatView();
    EXPECT_EQ(document.shown(), std::string(20, '\n'));
}

TEST_F(ChatView_, ViewClearsItselfPastTheRichSourceLimit) {
    document.height = 300;
    view.ClearChatView();
    const std::string line(200, 'z');
    std::size_t lines = 0;
    std::size_t largest = 0;
    do {
        largest = std::max(largest, view.richSize());
        view.AddChatMessage("Hawk", line + " :) http://x.org", ChatLineKind::Normal);
        ++lines;
    } while (lines < 5000 && document.plainText().find("automatically") == std::string::npos);
    EXPECT_GT(lines, 100u);
    EXPECT_LE(largest, RichChatView::kAutoClearSize);
    EXPECT_EQ(document.shown(), std::string(20, '\n') + "\n*\n* Chat screen automatically cleared");
    EXPECT_LT(view.richSize(), 1000u);
}

TEST_F(ChatView_, PicturesCountWithTheirDataTowardsTheLimit) {
    const std::size_t before = view.richSize();
    view.AddChatMessage("Hawk", ":)", ChatLineKind::Normal);
    EXPECT_GE(view.richSize() - before, 2 * document.pictureSize(401));
}

// ---------------------------------------------------------------------------------------------
// Set-up, panels and persons lists

TEST_F(ChatView_, SetUpShowsWelcomeHelpAndSmileyBlocks) {
    document.height = 45;
    int historyResets = 0;
    view.setHistoryReset([&] { ++historyResets; });
    view.InitChatView();
    EXPECT_EQ(historyResets, 1);
    const std::string shown = document.shown();
    EXPECT_EQ(shown.substr(0, 37), "\n\n\n*\n* Welcome to Squadlink chat\n*\n* ");
    EXPECT_NE(shown.find("\n* Useful tips and commands you can use:\n*\tselect text with left "
                         "mouse button to copy it\n"),
              std::string::npos);
    EXPECT_NE(
        shown.find("\n*\t/help, /h - shows this help\n*\n* Supported smileys:\n*\t:)\t:(\t;)"
                   "\t:P\t:D\t>:(\n*\t{401}\t{402}\t{403}\t{404}\t{405}\t{406}\n*\t:|\t:o\t::)"
                   "\t:'(\t8)\t^^\n*\t{407}\t{408}\t{409}\t{410}\t{411}\t{412}"),
        std::string::npos);
    for (const DocRun& run : document.runs) {
        if (run.kind == DocRun::Kind::Text) {
            EXPECT_EQ(run.colour, kNotice);
        }
    }
}

TEST_F(ChatView_, SmileyBlockFollowsTheChosenSet) {
    ui.oSmiley3.setValue(true);
    view.BuildSmileyPanel();
    view.ShowSmileyPanel();
    EXPECT_NE(document.shown().find("{501}\t{502}"), std::string::npos);
}

TEST_F(ChatView_, ArrangerListsThePersonsOfHisRoster) {
    view.ListChattersLocal();
    EXPECT_EQ(document.shown(), "\n*\n* No Fighters connected yet");
    document.clear();
    state.sNick = "Boss";
    ui.lbFighters.addItem("Viper\t10.0.0.11\t  35 ms");
    ui.lbFighters.addItem("Hawk\t10.0.0.12\t???? ms");
    view.ListChattersLocal();
    EXPECT_EQ(document.shown(),
              "\n*\n* Persons currently chatting:"
              "\n*\tViper                  \t(IP: 10.0.0.11)"
              "\n*\tHawk                   \t(IP: 10.0.0.12)"
              "\n* (WA)\tBoss                   \t(IP: 192.168.1.10)");
}

TEST_F(ChatView_, FighterShowsTheListOfAFullRoster) {
    std::string payload = "11\0"s;
    for (int i = 0; i < 10; ++i) {
        payload += "F" + std::to_string(i) + '\0' + "10.0.0." + std::to_string(11 + i) + '\0';
    }
    payload +=
        "Boss\0"
        "10.0.0.2\0"s;
    view.ShowChattersList(payload);
    const std::string shown = document.shown();
    EXPECT_EQ(shown.substr(0, 75),
              "\n*\n* Persons currently chatting:\n*\tF0                      \t(IP: 10.0.0.11)");
    EXPECT_NE(shown.find("\n* (WA)\tBoss                    \t(IP: 10.0.0.2)"), std::string::npos);
}

TEST_F(ChatView_, FighterRefusesABrokenPersonsList) {
    const std::vector<std::string> payloads = {
        "0\0"s,
        "12\0"s +
            [] {
                std::string pairs;
                for (int i = 0; i < 12; ++i) {
                    pairs +=
                        "F\0"
                        "10.0.0.1\0"s;
                }
                return pairs;
            }(),
        "2\0Viper\0"
        "10.0.0.11\0"s,
        "1\0\0"
        "10.0.0.2\0"s,
        "1\0Boss\0"
        "1.2.3\0"s,
        "x\0Boss\0"
        "10.0.0.2\0"s,
        "1\0Boss\0"
        "10.0.0.2"s,
        ""s,
    };
    for (const auto& payload : payloads) {
        view.ShowChattersList(payload);
        EXPECT_TRUE(document.runs.empty()) << payload;
    }
}

TEST_F(ChatView_, PersonsListKeepsLineBreaksOfNicksOut) {
    view.ShowChattersList(
        "1\0Bo\r\nss\0"
        "10.0.0.2\0"s);
    EXPECT_EQ(
        document.shown(),
        "\n*\n* Persons currently chatting:\n* (WA)\tBo  ss                  \t(IP: 10.0.0.2)");
}

}  // namespace
