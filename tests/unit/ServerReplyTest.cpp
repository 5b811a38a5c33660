#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "gameserver/ServerReply.h"

using namespace squadlink;
using namespace std::string_literals;

namespace {

const std::string kHeader(4, '\xFF');

// The older detailed reply, field by field, so that each case changes one field.
struct Details {
    std::string address = "10.0.0.1:27015";
    std::string name = "Clan War Server";
    std::string map = "de_dust2";
    std::string folder = "cstrike";
    std::string game = "Counter-Strike";
    char players = 5;
    char slots = 12;
    char protocol = 47;
    char kind = 'd';
    char os = 'w';
    char password = 0;
    char mod = 1;
    std::string webLink = "http://www.counter-strike.net";
    std::string download;
    std::string modData = std::string(11, '\x07');
    char cheat = 1;
    std::string tail;

    std::string bytes() const {
        return kHeader + "m" + address + '\0' + name + '\0' + map + '\0' + folder + '\0' + game +
               '\0' + players + slots + protocol + kind + os + password + mod + webLink + '\0' +
               download + '\0' + modData + cheat + tail;
    }
};

// Today's information reply.
struct Info {
    char protocol = 48;
    std::string name = "Clan War Server";
    std::string map = "de_dust2";
    std::string folder = "cstrike";
    std::string game = "Counter-Strike";
    std::string appId = "\x0A\x00"s;
    char players = 5;
    char slots = 12;
    char bots = 0;
    char kind = 'd';
    char os = 'l';
    char visibility = 0;
    char cheat = 1;
    std::string extra;

    std::string bytes() const {
        return kHeader + "I" + protocol + name + '\0' + map + '\0' + folder + '\0' + game + '\0' +
               appId + players + slots + bots + kind + os + visibility + cheat + extra;
    }
};

struct DetailsCase {
    const char* what;
    std::function<void(Details&)> change;
    bool accepted;
};

const DetailsCase kDetailsCases[] = {
    {"unchanged", [](Details&) {}, true},
    {"game in lower case", [](Details& r) { r.game = "counter-strike"; }, true},
    {"Counter-Strike: Source", [](Details& r) { r.game = "Counter-Strike: Source"; }, false},
    {"empty game", [](Details& r) { r.game.clear(); }, false},
    {"address of two characters", [](Details& r) { r.address = "ab"; }, false},
    {"address of three characters", [](Details& r) { r.address = "a.b"; }, true},
    {"address ending at byte 254", [](Details& r) { r.address = std::string(248, 'a'); }, true},
    {"address ending at byte 255", [](Details& r) { r.address = std::string(249, 'a'); }, false},
    {"empty name", [](Details& r) { r.name.clear(); }, false},
    {"name of 253 characters", [](Details& r) { r.name = std::string(253, 'n'); }, true},
    {"name of 254 characters", [](Details& r) { r.name = std::string(254, 'n'); }, false},
    {"empty map", [](Details& r) { r.map.clear(); }, false},
    {"map of 254 characters", [](Details& r) { r.map = std::string(254, 'm'); }, false},
    {"empty folder", [](Details& r) { r.folder.clear(); }, false},
    {"32 players on 32 slots", [](Details& r) { r.players = r.slots = 32; }, true},
    {"33 players", [](Details& r) { r.players = r.slots = 33; }, false},
    {"33 slots", [](Details& r) { r.slots = 33; }, false},
    {"slots fewer than players", [](Details& r) { r.slots = 4; }, false},
    {"no players", [](Details& r) { r.players = 0; }, true},
    {"listen server", [](Details& r) { r.kind = 'L'; }, true},
    {"kind p", [](Details& r) { r.kind = 'p'; }, false},
    {"system l", [](Details& r) { r.os = 'l'; }, true},
    {"system W", [](Details& r) { r.os = 'W'; }, true},
    {"system m", [](Details& r) { r.os = 'm'; }, false},
    {"mod flag 00", [](Details& r) { r.mod = 0; }, false},
    {"mod flag 02", [](Details& r) { r.mod = 2; }, false},
    {"empty web link", [](Details& r) { r.webLink.clear(); }, true},
    {"web link of 252", [](Details& r) { r.webLink = std::string(252, 'w'); }, true},
    {"web link of 253", [](Details& r) { r.webLink = std::string(253, 'w'); }, false},
    {"download link of 253", [](Details& r) { r.download = std::string(253, 'd'); }, true},
    {"download link of 254", [](Details& r) { r.download = std::string(254, 'd'); }, false},
    {"anti-cheat 00", [](Details& r) { r.cheat = 0; }, true},
    {"anti-cheat 02", [](Details& r) { r.cheat = 2; }, false},
    {"bytes after the anti-cheat", [](Details& r) { r.tail = "garbage"; }, true},
};

}  // namespace

TEST(ServerReply, DetailsReplyTable) {
    for (const auto& c : kDetailsCases) {
        Details reply;
        c.change(reply);
        const auto parsed = ParseDetailsReply(reply.bytes());
        EXPECT_EQ(parsed.has_value(), c.accepted) << c.what;
        if (parsed && c.accepted) {
            EXPECT_EQ(parsed->name, reply.name) << c.what;
            EXPECT_EQ(parsed->map, reply.map) << c.what;
        }
    }
}

TEST(ServerReply, DetailsReplyFillsEveryField) {
    Details reply;
    reply.os = 'l';
    reply.cheat = 0;
    const auto parsed = ParseDetailsReply(reply.bytes());
    ASSERT_TRUE(parsed);
    EXPECT_EQ(*parsed, (ServerDetails{"Clan War Server", "de_dust2", 5, 12,
                                      "Linux dedicated server", "Cheating-Death (C-D)"}));
    std::string lower = reply.bytes();
    lower[4] = 'M';
    EXPECT_TRUE(ParseDetailsReply(lower));
}

TEST(ServerReply, DetailsReplyTruncatedAtEveryLengthIsRefused) {
    Details reply;
    reply.webLink = "w";
    reply.download = "d";
    const std::string whole = reply.bytes();
    ASSERT_TRUE(ParseDetailsReply(whole));
    for (std::size_t length = 0; length < whole.size(); ++length) {
        EXPECT_FALSE(ParseDetailsReply(whole.substr(0, length))) << "length " << length;
    }
}

TEST(ServerReply, InfoReplyTable) {
    struct Case {
        const char* what;
        std::function<void(Info&)> change;
        bool accepted;
    };
    const Case cases[] = {
        {"unchanged", [](Info&) {}, true},
        {"extra data", [](Info& r) { r.extra = "1.1.2.7/Stdio\0\x80\x87\x69"s; }, true},
        {"game in upper case", [](Info& r) { r.game = "COUNTER-STRIKE"; }, true},
        {"other game", [](Info& r) { r.game = "Half-Life"; }, false},
        {"empty name", [](Info& r) { r.name.clear(); }, false},
        {"empty map", [](Info& r) { r.map.clear(); }, false},
        {"empty folder", [](Info& r) { r.folder.clear(); }, false},
        {"33 players", [](Info& r) { r.players = r.slots = 33; }, false},
        {"slots fewer than players", [](Info& r) { r.slots = 1; }, false},
        {"relay type p", [](Info& r) { r.kind = 'p'; }, false},
        {"listen server", [](Info& r) { r.kind = 'l'; }, true},
        {"Windows", [](Info& r) { r.os = 'w'; }, true},
        {"Mac m", [](Info& r) { r.os = 'm'; }, false},
        {"Mac o", [](Info& r) { r.os = 'o'; }, false},
        {"no VAC", [](Info& r) { r.cheat = 0; }, true},
        {"VAC byte 02", [](Info& r) { r.cheat = 2; }, false},
    };
    for (const auto& c : cases) {
        Info reply;
        c.change(reply);
        EXPECT_EQ(ParseInfoReply(reply.bytes()).has_value(), c.accepted) << c.what;
    }
    Info reply;
    reply.os = 'w';
    reply.kind = 'l';
    reply.cheat = 0;
    EXPECT_EQ(*ParseInfoReply(reply.bytes()),
              (ServerDetails{"Clan War Server", "de_dust2", 5, 12, "Windows listen server",
                             "Cheating-Death (C-D)"}));
}

TEST(ServerReply, InfoReplyTruncatedAtEveryLengthIsRefused) {
    const std::string whole = Info{}.bytes();
    ASSERT_TRUE(ParseInfoReply(whole));
    for (std::size_t length = 0; length < whole.size(); ++length) {
        EXPECT_FALSE(ParseInfoReply(whole.substr(0, length))) << "length " << length;
    }
}

TEST(ServerReply, ClassifiesByHeaderAndLetter) {
    EXPECT_EQ(ClassifyReply(kHeader + "m"), ReplyKind::Details);
    EXPECT_EQ(ClassifyReply(kHeader + "M"), ReplyKind::Details);
    EXPECT_EQ(ClassifyReply(kHeader + "I"), ReplyKind::Info);
    EXPECT_EQ(ClassifyReply(kHeader + "A1234"), ReplyKind::Challenge);
    EXPECT_EQ(ClassifyReply(kHeader + "j"), ReplyKind::Ping);
    EXPECT_EQ(ClassifyReply(kHeader + "J"), ReplyKind::Ping);
    EXPECT_EQ(ClassifyReply(kHeader + "x"), ReplyKind::Unknown);
    EXPECT_EQ(ClassifyReply("\xFF\xFF\xFFmj"), ReplyKind::Unknown);
    EXPECT_EQ(ClassifyReply(kHeader), ReplyKind::Unknown);
    // One kind's parser never takes another kind's reply.
    EXPECT_FALSE(ParseDetailsReply(Info{}.bytes()));
    std::string asInfo = Details{}.bytes();
    asInfo[4] = 'I';
    EXPECT_FALSE(ParseInfoReply(asInfo));
}

TEST(ServerReply, ChallengeNeedsFourBytes) {
    EXPECT_EQ(ParseChallenge(kHeader + "A\x01\x02\x03\x04"), "\x01\x02\x03\x04"s);
    EXPECT_EQ(ParseChallenge(kHeader + "A\0\0\0\0extra"s), "\0\0\0\0"s);
    EXPECT_FALSE(ParseChallenge(kHeader + "A\x01\x02\x03"));
    EXPECT_FALSE(ParseChallenge(kHeader + "m\x01\x02\x03\x04"));
}

TEST(ServerReply, QueriesAreByteExact) {
    EXPECT_EQ(InfoQuery(), "\xFF\xFF\xFF\xFFTSource Engine Query\0"s);
    EXPECT_EQ(InfoQuery().size(), 25U);
    EXPECT_EQ(PingQuery(), "\xFF\xFF\xFF\xFFping\0"s);
    EXPECT_EQ(PingQuery().size(), 9U);
}
