#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/model/ListBox.h"

namespace squadlink::roster {

inline constexpr int kMaxFighters = 10;
inline constexpr const char* kUnknownPing = "???? ms";

// Entry text: nick, TAB, address, TAB, ping column.
std::string entry(std::string_view nick, std::string_view address,
                  std::string_view pingColumn = kUnknownPing);
std::string_view nick(std::string_view entryText);
std::string_view address(std::string_view entryText);
// Everything up to and including the second TAB.
std::string_view head(std::string_view entryText);
// Right-aligns short ping texts with two blanks per missing digit.
std::string pingColumn(std::string_view pingText);

int findByAddress(const ListBox& list, std::string_view address);
int findByNick(const ListBox& list, std::string_view nick);
std::vector<std::string> addresses(const ListBox& list, bool selectedOnly = false);

}  // namespace squadlink::roster
