#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace squadlink {

inline constexpr std::uint16_t kArrangerPort = 27220;
inline constexpr std::uint16_t kFighterPort = 27221;

namespace codec {

inline constexpr unsigned char kMask = 0x5D;

// The wire form: the plain message reversed, every byte XORed with the mask. Its own inverse.
std::string scramble(std::string_view plain);
void unscramble(std::string& text);

// Code, NUL, then every field followed by a NUL.
std::string build(char code, std::initializer_list<std::string_view> fields = {});

// Code and NUL first (the code's letter case ignored), whole length within [minLen, maxLen].
bool hasCode(std::string_view message, char code, std::size_t minLen, std::size_t maxLen);
bool isExactly(std::string_view message, char code);

// Text of codes 6, 7 and 8: from the third character up to, not including, the last one
// (a NUL inside stays part of the text).
std::string_view chatText(std::string_view message);
// Address of a ping report: between the last NUL before the final character and the final
// character.
std::string_view pingReportAddress(std::string_view message);
// The field starting at `start`, up to the next NUL. Empty view when that NUL is at `start`;
// `found` tells whether a NUL ended it.
std::string_view fieldAt(std::string_view message, std::size_t start, bool& found);

// A game server's reply: four bytes 0xFF and the type letter.
bool isGameServerReply(std::string_view data, char typeLetter);

}  // namespace codec
}  // namespace squadlink
