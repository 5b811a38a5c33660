#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/TextUtil.h"
#include "link/Codec.h"
#include "link/Roster.h"
#include "support/LinkRig.h"

using namespace squadlink;
using namespace std::string_literals;

namespace {

enum class Side { Arranger, Fighter };
enum class From { Peer, Stranger, Banned };
// Ignored: nothing observable changes. Refused: the banned sender gets "4" and nothing else
// happens. Acted: the copy visibly reacts (the contrast to a length just outside the window).
enum class Expect { Ignored, Refused, Acted };

constexpr const char* kArranger = "192.168.1.2";
constexpr const char* kFighter1 = "10.0.0.1";
constexpr const char* kStranger = "10.9.9.9";
constexpr const char* kBanned = "10.6.6.6";
constexpr const char* kGame = "203.0.113.5:27015";

struct Case {
    std::string name;
    Side side;
    From from;
    std::string plain;  // scrambled before delivery unless `raw`
    bool raw;
    Expect expect;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name << " (" << c.plain.size() << " bytes)";
}

// War Arranger with three Fighters, known game info and one banned address; or a Fighter
// connected to its War Arranger with game info. Both forget the set-up's traffic.
void setUp(FakeLinkRig& rig, Side side) {
    if (side == Side::Arranger) {
        rig.startArranger("Boss");
        rig.join("Rogue", kBanned);
        rig.ui.lbFighters.selectNone();
        rig.ui.lbFighters.setSelected(0, true);
        rig.boxes.answers = {mb::Yes};
        rig.link->kickBan().coBan_Click();
        for (int n = 1; n <= 3; ++n) {
            rig.join("F" + std::to_string(n), "10.0.0." + std::to_string(n));
        }
        rig.setGameInfo(kGame, "pw", false);
    } else {
        rig.startFighter("Viper");
        rig.connectTo(kArranger, codec::build('1', {kGame, "v", "pw"}));
        // As after a chat line of its own, so that the acknowledgement has a visible effect.
        rig.ui.tTimeout.restart();
    }
    rig.socket.sent.clear();
    rig.boxes.shown.clear();
    rig.boxes.answers.clear();
    rig.chat.lines.clear();
    rig.attention.requests.clear();
    rig.link->flood().resetCount();
}

std::string senderFor(Side side, From from) {
    switch (from) {
        case From::Peer:
            return side == Side::Arranger ? kFighter1 : kArranger;
        case From::Stranger:
            return kStranger;
        case From::Banned:
            return kBanned;
    }
    return {};
}

// Everything a datagram may change that an observer of the copy can see.
struct Observed {
    std::vector<std::string> roster;
    std::vector<long> acknowledged;
    std::size_t sent;
    std::vector<std::string> chat;
    std::size_t boxes;
    std::size_t attention;
    std::string arrangerAddress;
    std::string labels;
    std::string serverBox;
    int reportedPing;
    int bannedNext;
    bool timeoutRunning;
    bool ended;

    static Observed of(const FakeLinkRig& rig) {
        Observed o{};
        for (const auto& entry : rig.ui.lbFighters.entries()) {
            o.roster.push_back(entry.text);
            o.acknowledged.push_back(entry.itemData);
        }
        o.sent = rig.socket.sent.size();
        o.chat = rig.chat.lines;
        o.boxes = rig.boxes.shown.size();
        o.attention = rig.attention.requests.size();
        o.arrangerAddress = rig.state.sArrangerAddress;
        o.labels = rig.ui.lServer.caption() + "|" + rig.ui.lPassword.caption() + "|" +
                   rig.ui.lProtection.caption() + "|" + rig.ui.lClientPing.caption();
        o.serverBox = rig.ui.tServer.text();
        o.reportedPing = rig.state.nReportedPing;
        o.bannedNext = rig.link->kickBan().bannedNext();
        o.timeoutRunning = rig.ui.tTimeout.running();
        o.ended = rig.lifecycle.ended();
        return o;
    }
    bool operator==(const Observed&) const = default;
};

// What must hold after any datagram whatsoever.
void expectConsistent(const FakeLinkRig& rig, Side side) {
    EXPECT_FALSE(rig.lifecycle.ended());
    const auto& list = rig.ui.lbFighters;
    EXPECT_LE(list.listCount(), 10);
    if (side == Side::Fighter) {
        EXPECT_TRUE(list.empty());
    }
    for (int i = 0; i < list.listCount(); ++i) {
        const std::string& text = list.list(i);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\t'), 2) << text;
        EXPECT_FALSE(roster::nick(text).empty()) << text;
        EXPECT_FALSE(roster::address(text).empty()) << text;
        for (int j = i + 1; j < list.listCount(); ++j) {
            EXPECT_FALSE(equalsIgnoreCase(roster::address(list.list(j)), roster::address(text)));
        }
    }
    EXPECT_GE(rig.link->kickBan().bannedNext(), 0);
    EXPECT_LE(rig.link->kickBan().bannedNext(), 20);
}

std::string repeat(std::size_t n, char c = 'x') {
    return std::string(n, c);
}

// A code with a body padded so that the whole message has `length` characters and ends in NUL.
std::string sized(char code, std::size_t length, char fill = 'x') {
    std::string m{code, '\0'};
    m += repeat(length - 3, fill);
    m += '\0';
    return m;
}

std::vector<Case> cases() {
    const auto A = Side::Arranger;
    const auto F = Side::Fighter;
    std::vector<Case> t;
    auto add = [&t](std::string name, Side side, From from, std::string plain, Expect expect,
                    bool raw = false) {
        t.push_back({std::move(name), side, from, std::move(plain), raw, expect});
    };

    // Degenerate datagrams from the peer: a Fighter of the roster, or the War Arranger.
    for (Side side : {A, F}) {
        add("Empty", side, From::Peer, "", Expect::Ignored, true);
        add("OneByte", side, From::Peer, "7", Expect::Ignored, true);
        add("OneScrambledCode", side, From::Peer, "E", Expect::Ignored);
        for (std::size_t n : {1u, 2u, 3u, 26u, 259u, 380u}) {
            add("RawNuls" + std::to_string(n), side, From::Peer, repeat(n, '\0'), Expect::Ignored,
                true);
        }
    }
    for (std::size_t n : {2u, 3u, 259u}) {
        add("PlainNuls" + std::to_string(n), A, From::Peer, repeat(n, '\0'), Expect::Ignored);
        add("PlainNuls" + std::to_string(n), F, From::Peer, repeat(n, '\0'), Expect::Ignored);
    }
    add("Largest", A, From::Peer, sized('7', 65507), Expect::Ignored);
    add("Largest", F, From::Peer, sized('B', 65507), Expect::Ignored);
    add("LargestRaw", A, From::Peer, repeat(65507, 'A'), Expect::Ignored, true);
    add("LargestRaw", F, From::Peer, repeat(65507, 'A'), Expect::Ignored, true);
    add("WrongServerReply", A, From::Peer, "\xFF\xFF\xFF\xFFjping", Expect::Ignored, true);
    add("WrongServerReply", F, From::Peer, "\xFF\xFF\xFF\xFFminfo", Expect::Ignored, true);

    // War Arranger: each window's edges, inside acted on, one character outside ignored.
    add("Join4", A, From::Peer, "1\0x\0"s, Expect::Acted);
    add("Join3", A, From::Peer, "1\0x"s, Expect::Ignored);
    add("Join26", A, From::Stranger, sized('1', 26), Expect::Acted);
    add("Join27", A, From::Stranger, sized('1', 27), Expect::Ignored);
    add("Ping8", A, From::Peer,
        "2\0"
        "1\0abc\0"s,
        Expect::Acted);
    add("Ping7", A, From::Peer,
        "2\0"
        "1\0ab\0"s,
        Expect::Ignored);
    add("Ping42", A, From::Peer,
        "2\0"
        "1\0"s +
            repeat(37) + '\0',
        Expect::Acted);
    add("Ping43", A, From::Peer,
        "2\0"
        "1\0"s +
            repeat(38) + '\0',
        Expect::Ignored);
    for (char code : {'3', '4', '5'}) {
        add(std::string("Code") + code + "Exact", A, From::Peer, std::string{code, '\0'},
            Expect::Acted);
        add(std::string("Code") + code + "Long", A, From::Peer, std::string{code, '\0', '\0'},
            Expect::Ignored);
    }
    for (char code : {'6', '7'}) {
        const std::string c(1, code);
        add("Chat" + c + "_4", A, From::Peer, sized(code, 4), Expect::Acted);
        add("Chat" + c + "_3", A, From::Peer, std::string{code, '\0', 'x'}, Expect::Ignored);
        add("Chat" + c + "_259", A, From::Peer, sized(code, 259), Expect::Acted);
        add("Chat" + c + "_260", A, From::Peer, sized(code, 260), Expect::Ignored);
    }
    add("Score4", A, From::Peer, sized('8', 4, '9'), Expect::Acted);
    add("Score3", A, From::Peer,
        "8\0"
        "9"s,
        Expect::Ignored);
    add("Score6", A, From::Peer, sized('8', 6, '9'), Expect::Acted);
    add("Score7", A, From::Peer, sized('8', 7, '9'), Expect::Ignored);

    // Fighter: the same from its War Arranger.
    // An acceptance this Fighter did not ask for (no join of its own waits for one).
    add("Accept58Unasked", F, From::Peer, sized('1', 58), Expect::Ignored);
    add("Accept59", F, From::Peer, sized('1', 59), Expect::Ignored);
    add("GameInfo9", F, From::Peer, "2\0abcd\0v\0"s, Expect::Acted);
    add("GameInfo8", F, From::Peer, "2\0abc\0v\0"s, Expect::Ignored);
    add("GameInfo58", F, From::Peer, "2\0"s + repeat(34) + "\0v\0"s + repeat(18) + '\0',
        Expect::Acted);
    add("GameInfo59", F, From::Peer, "2\0"s + repeat(34) + "\0v\0"s + repeat(19) + '\0',
        Expect::Ignored);
    for (char code : {'3', '4', '5', '6', '7', '8', 'E'}) {
        add(std::string("Code") + code + "Exact", F, From::Peer, std::string{code, '\0'},
            Expect::Acted);
        add(std::string("Code") + code + "Long", F, From::Peer, std::string{code, '\0', '\0'},
            Expect::Ignored);
    }
    add("Who380", F, From::Peer, sized('9', 380), Expect::Acted);
    // Longer who answers than the 380 of the original are taken (a full roster needs 445).
    add("Who512", F, From::Peer, sized('9', 512), Expect::Acted);
    add("Who513", F, From::Peer, sized('9', 513), Expect::Ignored);
    for (char code : {'A', 'B'}) {
        const std::string c(1, code);
        add("Relay" + c + "_6", F, From::Peer, std::string{code, '\0', 'n', '\0', 't', '\0'},
            Expect::Acted);
        add("Relay" + c + "_5", F, From::Peer, std::string{code, '\0', 'n', '\0', '\0'},
            Expect::Ignored);
        add("Relay" + c + "_283", F, From::Peer, sized(code, 283), Expect::Acted);
        add("Relay" + c + "_284", F, From::Peer, sized(code, 284), Expect::Ignored);
    }
    add("RelayC_30", F, From::Peer, sized('C', 30), Expect::Acted);
    add("RelayC_31", F, From::Peer, sized('C', 31), Expect::Ignored);
    add("Moved18", F, From::Stranger,
        "D\0"
        "192.168.1.2\0xxxx"s,
        Expect::Acted);
    add("Moved19", F, From::Stranger,
        "D\0"
        "192.168.1.2\0xxxxx"s,
        Expect::Ignored);

    // Valid messages from senders that are not entitled to them.
    for (const std::string& m : {"2\0"
                                 "1\0"s +
                                     kGame + '\0',
                                 "3\0"s, "4\0"s, "5\0"s, "6\0waves\0"s, "7\0hi\0"s,
                                 "8\0"
                                 "99\0"s}) {
        add("Stranger" + m.substr(0, 1), A, From::Stranger, m, Expect::Ignored);
    }
    for (const std::string& m : {"2\0"s + kGame + "\0c\0pw\0"s, "3\0"s, "4\0"s, "5\0"s, "6\0"s,
                                 "7\0"s, "8\0"s, "9\0"s, "A\0n\0t\0"s, "B\0n\0t\0"s,
                                 "C\0n\0"
                                 "99\0"s,
                                 "E\0"s}) {
        add("Stranger" + m.substr(0, 1), F, From::Stranger, m, Expect::Ignored);
    }
    int banned = 0;
    for (const std::string& m : {"1\0Rogue\0"s, "1\0Other\0"s,
                                 "2\0"
                                 "1\0"s +
                                     kGame + '\0',
                                 "3\0"s, "4\0"s, "5\0"s, "7\0hi\0"s,
                                 "8\0"
                                 "99\0"s,
                                 ""s}) {
        add("Banned" + std::to_string(++banned), A, From::Banned, m, Expect::Refused);
    }
    return t;
}

class HostileDatagram : public ::testing::TestWithParam<Case> {};

TEST_P(HostileDatagram, IsDroppedOrHandledWithoutHarm) {
    const Case& c = GetParam();
    FakeLinkRig rig;
    setUp(rig, c.side);
    const std::string sender = senderFor(c.side, c.from);
    const Observed before = Observed::of(rig);

    rig.socket.deliver(c.raw ? c.plain : codec::scramble(c.plain), sender);

    const Observed after = Observed::of(rig);
    expectConsistent(rig, c.side);
    switch (c.expect) {
        case Expect::Ignored:
            EXPECT_TRUE(after == before) << "the datagram changed what the user sees";
            break;
        case Expect::Refused:
            EXPECT_EQ(after.roster, before.roster);
            ASSERT_EQ(rig.sentCount(), 1u);
            EXPECT_EQ(rig.sentPlain(0), "4\0"s);
            EXPECT_EQ(rig.socket.sent[0].host, kBanned);
            EXPECT_EQ(rig.socket.sent[0].port, kFighterPort);
            EXPECT_EQ(after.chat, before.chat);
            EXPECT_EQ(after.boxes, before.boxes);
            break;
        case Expect::Acted:
            EXPECT_FALSE(after == before) << "a message inside its window was not acted on";
            break;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, HostileDatagram, ::testing::ValuesIn(cases()),
                         [](const ::testing::TestParamInfo<Case>& param) {
                             return std::string(param.param.side == Side::Arranger ? "Arranger_"
                                                                                   : "Fighter_") +
                                    param.param.name;
                         });

class RandomDatagrams : public ::testing::TestWithParam<Side> {};

// Random bytes and random plain texts behind random codes, from members, strangers and the
// banned address, with the rate counter reset as t1sec would between bursts.
TEST_P(RandomDatagrams, LeaveTheCopyConsistent) {
    const Side side = GetParam();
    FakeLinkRig rig;
    setUp(rig, side);
    std::mt19937 random(0x5D5D);
    const std::vector<std::string> senders = {kFighter1, "10.0.0.3", kArranger, kStranger, kBanned};
    const std::string codes = "123456789ABCDEabcde0Z";
    for (int i = 0; i < 600 && !rig.lifecycle.ended(); ++i) {
        const std::size_t length = random() % 400;
        std::string data(length, '\0');
        for (char& ch : data) {
            ch = static_cast<char>(random() % 4 == 0 ? 0 : random() % 256);
        }
        if (i % 2 == 1 && length >= 2) {
            data[0] = codes[random() % codes.size()];
            data[1] = '\0';
            data = codec::scramble(data);
        }
        rig.socket.deliver(data, senders[random() % senders.size()]);
        if (i % 40 == 39) {
            rig.timers.advance(1000);
        }
        expectConsistent(rig, side);
    }
    EXPECT_FALSE(rig.lifecycle.ended());
}

INSTANTIATE_TEST_SUITE_P(BothSides, RandomDatagrams,
                         ::testing::Values(Side::Arranger, Side::Fighter),
                         [](const ::testing::TestParamInfo<Side>& param) {
                             return param.param == Side::Arranger ? "Arranger" : "Fighter";
                         });

// A TAB in a reported ping would otherwise become a third column separator in the roster entry,
// as a TAB in a nick would.
TEST(HostileDatagramPing, TabInThePingTextStaysInsideItsColumn) {
    FakeLinkRig rig;
    setUp(rig, Side::Arranger);
    rig.socket.deliver(codec::scramble("2\0"
                                       "4\t5\0"s +
                                       kGame + '\0'),
                       kFighter1);
    EXPECT_EQ(rig.sentPlain(-1), "7\0"s);
    const int index = roster::findByAddress(rig.ui.lbFighters, kFighter1);
    ASSERT_GE(index, 0);
    EXPECT_EQ(rig.ui.lbFighters.list(index), "F1\t10.0.0.1\t  4 5 ms");
    expectConsistent(rig, Side::Arranger);
}

}  // namespace
