#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace squadlink {

// File names on Linux are UTF-8 bytes; the program holds text as Windows-1252. Paths cross
// between the two where the logic itself looks at the file system.
class PathText {
public:
    static std::string toUtf8(std::string_view cp1252);
    // Nothing when the path holds a character Windows-1252 lacks (or is not UTF-8): such a path
    // cannot be stored or shown, so it is as good as not found.
    static std::optional<std::string> fromUtf8(std::string_view utf8);
};

}  // namespace squadlink
