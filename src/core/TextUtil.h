#pragma once

#include <string>
#include <string_view>

namespace squadlink {

// Windows-1252 letters fold to lower case, so that comparisons ignore case the way peers on
// Windows do.
char foldCase(char c);
bool equalsIgnoreCase(std::string_view a, std::string_view b);
std::string trimBlanks(std::string_view text);

}  // namespace squadlink
