#include <gtest/gtest.h>

#include <string>

#include "gameserver/EntryRules.h"

using namespace squadlink;

TEST(EntryRules, ContentCheckEmptiesInsteadOfRepairing) {
    struct Case {
        EntryBox box;
        std::string typed;
        std::string kept;
    };
    const Case cases[] = {
        {EntryBox::Game, "10.0.0.1", "10.0.0.1"},
        {EntryBox::Game, "10.0.0.1 ", ""},
        {EntryBox::Game, "10.0.0.1/", ""},
        {EntryBox::Game, "cs.clan-war.net:27016", "cs.clan-war.net:27016"},
        {EntryBox::Game, "10.0.0.1;quit", ""},
        {EntryBox::Game, std::string(40, 'a'), std::string(34, 'a')},
        {EntryBox::Game, std::string(34, 'a') + " ", std::string(34, 'a')},
        {EntryBox::Game, "h\xE9llo", ""},
        {EntryBox::Server, "10.0.0.5", "10.0.0.5"},
        {EntryBox::Server, "10.0.0.5:27220", ""},
        {EntryBox::Password, "s3cr3t !~", "s3cr3t !~"},
        {EntryBox::Password, "a\"b", ""},
        {EntryBox::Password, std::string(20, 'p'), std::string(18, 'p')},
        {EntryBox::Password, "tab\there", ""},
        {EntryBox::Nick, "Viper 2", "Viper 2"},
        {EntryBox::Nick, "Viper_2", ""},
        {EntryBox::Nick, std::string(40, 'n'), std::string(23, 'n')},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CheckedContent(c.box, c.typed), c.kept) << c.typed;
    }
}

TEST(EntryRules, KeyFilterLetsSomeRefusedCharactersThrough) {
    struct Case {
        EntryBox box;
        int key;
        bool accepted;
    };
    const Case cases[] = {
        {EntryBox::Game, ':', true},      {EntryBox::Game, '/', true},
        {EntryBox::Game, ' ', true},      {EntryBox::Game, ';', false},
        {EntryBox::Game, 22, false},      {EntryBox::Game, 8, true},
        {EntryBox::Server, ':', false},   {EntryBox::Server, '/', true},
        {EntryBox::Nick, '7', true},      {EntryBox::Nick, '-', false},
        {EntryBox::Password, '"', false}, {EntryBox::Password, '~', true},
        {EntryBox::Password, 127, false}, {EntryBox::Password, 3, false},
        {EntryBox::Password, 8, true},    {EntryBox::Nick, 0xE9, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsAcceptedKey(c.box, c.key), c.accepted) << c.key;
    }
}

TEST(EntryRules, TidyOnLeaving) {
    struct Case {
        EntryBox box;
        std::string text;
        std::string kept;
    };
    const Case cases[] = {
        {EntryBox::Game, "10.0.0.1:123456", ""},
        {EntryBox::Game, "10.0.0.1:", ""},
        {EntryBox::Game, "10.0.0.1:27015", "10.0.0.1:27015"},
        {EntryBox::Game, "a.b", "a.b"},
        {EntryBox::Game, "ab", ""},
        {EntryBox::Game, ".ab", ""},
        {EntryBox::Game, "a..b", ""},
        {EntryBox::Game, "a::b", ""},
        {EntryBox::Game, "a:-b", ""},
        {EntryBox::Server, "10.0.0.5", "10.0.0.5"},
        {EntryBox::Server, "10.0.0.5.", ""},
        {EntryBox::Server, "a-.b", ""},
        {EntryBox::Server, "a//b", ""},
        {EntryBox::Server, "ab", ""},
        {EntryBox::Nick, "  Viper ", "Viper"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TidiedOnLeaving(c.box, c.text), c.kept) << c.text;
    }
}

TEST(EntryRules, ClipboardCleaning) {
    EXPECT_EQ(PasteButtonText(EntryBox::Game, "  10.0.0.1:27015 \r\n"), "10.0.0.1:27015");
    EXPECT_EQ(PasteButtonText(EntryBox::Game, "10.0.0.1\n"), "10.0.0.1");
    EXPECT_EQ(PasteButtonText(EntryBox::Server, "sqd://10.0.0.5:27220/"), "10.0.0.5");
    EXPECT_EQ(PasteButtonText(EntryBox::Server, "SQD://10.0.0.5"), "10.0.0.5");
    EXPECT_EQ(PasteButtonText(EntryBox::Server, "sqd://10.0.0.5/"), "10.0.0.5/");
    EXPECT_EQ(KeyPasteText(EntryBox::Server, "sqd://10.0.0.5:27220/"), "sqd");
    EXPECT_EQ(KeyPasteText(EntryBox::Nick, std::string(40, 'n')), std::string(23, 'n'));
    EXPECT_EQ(KeyPasteText(EntryBox::Password, " \r\n "), "");
}

TEST(EntryRules, GameAddressAndPasswordChecks) {
    EXPECT_TRUE(IsValidGameAddress("10.0.0.1:27015"));
    EXPECT_TRUE(IsValidGameAddress("a.b"));
    EXPECT_TRUE(IsValidGameAddress(std::string(34, 'a')));
    EXPECT_FALSE(IsValidGameAddress(std::string(35, 'a')));
    EXPECT_FALSE(IsValidGameAddress("ab"));
    EXPECT_FALSE(IsValidGameAddress("10.0.0.1;quit"));
    EXPECT_FALSE(IsValidGameAddress("10.0.0.1 +exec x"));
    EXPECT_FALSE(IsValidGameAddress("10.0.0.1\""));
    EXPECT_FALSE(IsValidGameAddress(std::string("10.0\0.1", 7)));
    EXPECT_TRUE(IsValidGamePassword(""));
    EXPECT_TRUE(IsValidGamePassword("war; time"));
    EXPECT_FALSE(IsValidGamePassword("a\"; quit"));
    EXPECT_FALSE(IsValidGamePassword(std::string(19, 'p')));
    EXPECT_FALSE(IsValidGamePassword("new\nline"));
}

TEST(EntryRules, ConsoleCommand) {
    EXPECT_EQ(ConsoleCommand("10.0.0.1:27015", ""), "connect 10.0.0.1:27015");
    EXPECT_EQ(ConsoleCommand("10.0.0.1", "clan war"), "password \"clan war\"; connect 10.0.0.1");
}

TEST(EntryRules, SplitGameAddress) {
    struct Case {
        const char* address;
        const char* host;
        int port;
        bool usable;
    };
    const Case cases[] = {
        {"10.0.0.1", "10.0.0.1", 27015, true},
        {"10.0.0.1:27016", "10.0.0.1", 27016, true},
        {"10.0.0.1:65535", "10.0.0.1", 65535, true},
        {"10.0.0.1:65536", "10.0.0.1", 0, false},
        {"10.0.0.1:999999", "10.0.0.1", 0, false},
        {"10.0.0.1:0", "10.0.0.1", 0, false},
        {"10.0.0.1:", "10.0.0.1", 0, false},
        {"10.0.0.1:2a", "10.0.0.1", 0, false},
        {"h:1:2", "h", 0, false},
    };
    for (const auto& c : cases) {
        const GameAddress split = SplitGameAddress(c.address);
        EXPECT_EQ(split.host, c.host) << c.address;
        EXPECT_EQ(split.port, c.port) << c.address;
        EXPECT_EQ(split.portUsable, c.usable) << c.address;
    }
}
