#pragma once

#include <array>
#include <string>
#include <string_view>

namespace squadlink::chatmarkup {

// Smiley codes by number (index + 1).
inline constexpr std::array<std::string_view, 12> kSmileyCodes = {
    ":)", ":(", ";)", ":P", ":D", ">:(", ":|", ":o", "::)", ":'(", "8)", "^^"};

// Link starts, in the order they are marked.
inline constexpr std::array<std::string_view, 9> kLinkSchemes = {
    "teamspeak://", "gopher://", "telnet://", "https://", "nntp://",
    "http://",      "sqd://",    "ftp://",    "irc://"};

inline constexpr char kLinkMarker = '\r';

// Replaces smiley codes by their number as one character (1 to 12) and puts a CR before every
// link start that follows a blank or opens the text. Returns true when the text is plain
// (nothing was marked).
bool EncodeChatMarkup(std::string& text);

// True when the text begins with one of the link schemes, letter case ignored.
bool startsWithLinkScheme(std::string_view text);

// The remark after a reflex score: picked by the leading number of the score text.
std::string_view reflexRemark(std::string_view score);
// The leading whole number of a text, as a basic-style numeric conversion reads it (blanks
// first, an optional sign, digits); 0 when there is none.
long leadingNumber(std::string_view text);

}  // namespace squadlink::chatmarkup
