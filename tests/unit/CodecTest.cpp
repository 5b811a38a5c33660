#include <gtest/gtest.h>

#include "link/Codec.h"

using namespace squadlink;
using namespace std::string_literals;

TEST(Codec, JoinOfViperScramblesByteForByte) {
    const std::string plain = codec::build('1', {"Viper"});
    ASSERT_EQ(plain, "1\0Viper\0"s);
    const std::string wire = codec::scramble(plain);
    // Reversed and XORed with 0x5D: the scrambled NUL first, the scrambled "1" last.
    const std::string expected = "\x5D\x2F\x38\x2D\x34\x0B\x5D\x6C"s;
    EXPECT_EQ(wire, expected);
    std::string back = wire;
    codec::unscramble(back);
    EXPECT_EQ(back, plain);
}

TEST(Codec, RoundTripsEveryByteAndTheEmptyMessage) {
    std::string all;
    for (int i = 0; i < 256; ++i) {
        all.push_back(static_cast<char>(i));
    }
    std::string text = codec::scramble(all);
    codec::unscramble(text);
    EXPECT_EQ(text, all);
    EXPECT_EQ(codec::scramble(""), "");
}

TEST(Codec, LengthWindowsIncludeBothEndsAndIgnoreCase) {
    struct Case {
        std::string message;
        char code;
        std::size_t min, max;
        bool expected;
    };
    const Case cases[] = {
        {"2\0"s, '2', 8, 42, false},  // too short for a ping report
        {"2\0"s
         "12345\0"s,
         '2', 8, 42, true},  // exactly 8
        {"2\0"s + std::string(40, 'x'), '2', 8, 42, true},
        {"2\0"s + std::string(41, 'x'), '2', 8, 42, false},
        {"a\0nick\0hi\0"s, 'A', 6, 283, true},  // lower-case code
        {"A1nick\0hi\0"s, 'A', 6, 283, false},  // second byte must be NUL
        {"3\0"s, '3', 2, 2, true},
        {"3\0x"s, '3', 2, 2, false},
        {""s, '3', 2, 2, false},
        {"3"s, '3', 2, 2, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(codec::hasCode(c.message, c.code, c.min, c.max), c.expected)
            << "code " << c.code << " length " << c.message.size();
    }
}

TEST(Codec, SpecialFieldCuts) {
    // Codes 6, 7 and 8: everything between the code's NUL and the last character.
    EXPECT_EQ(codec::chatText("7\0hello\0"s), "hello");
    EXPECT_EQ(codec::chatText("7\0he\0llo\0"s), "he\0llo"s);
    EXPECT_EQ(codec::chatText("8\0"s
                              "123\0"s),
              "123");
    EXPECT_EQ(codec::chatText("6\0waves"s), "wave");
    // Code 2 address: after the last NUL before the final character.
    EXPECT_EQ(codec::pingReportAddress("2\0"s
                                       "45\0"s
                                       "1.2.3.4:27015\0"s),
              "1.2.3.4:27015");
    EXPECT_EQ(codec::pingReportAddress("2\0"s
                                       "45\0"s
                                       "a\0b\0"s),
              "b");
    EXPECT_EQ(codec::pingReportAddress("2\0\0"s), "");
    bool found = false;
    EXPECT_EQ(codec::fieldAt("1\0Viper\0"s, 2, found), "Viper");
    EXPECT_TRUE(found);
    EXPECT_EQ(codec::fieldAt("1\0Viper"s, 2, found), "Viper");
    EXPECT_FALSE(found);
}

TEST(Codec, GameServerRepliesAreRecognisedBeforeUnscrambling) {
    EXPECT_TRUE(codec::isGameServerReply("\xFF\xFF\xFF\xFFj"s, 'j'));
    EXPECT_TRUE(codec::isGameServerReply("\xFF\xFF\xFF\xFFmrest"s, 'm'));
    EXPECT_FALSE(codec::isGameServerReply("\xFF\xFF\xFF\xFFj"s, 'm'));
    EXPECT_FALSE(codec::isGameServerReply("\xFF\xFF\xFFj"s, 'j'));
}
