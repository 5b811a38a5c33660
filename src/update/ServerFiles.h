#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace squadlink {

// update.txt: the homepage address (without "http://") and the latest release number.
struct UpdateInfo {
    std::string home;
    int release = 0;
};

// banner.txt: N picture addresses, each with its link (which may be empty).
struct BannerList {
    std::vector<std::string> images;
    std::vector<std::string> links;
};

// A reply counts only when it has content and is not the server's error page.
bool isPresentReply(std::string_view reply);

// Reads a number the lenient way the files were always read: leading blanks and line breaks
// skipped, an optional sign, digits and a fraction, stopping at the first other character
// (no digits read as 0); rounded half to even. Empty when it does not fit a byte (0 to 255).
std::optional<int> readByteNumber(std::string_view text);

// Both parsers treat anything malformed as no reply: these files come over plain HTTP, and
// nothing in them may end the program.
std::optional<UpdateInfo> parseUpdateInfo(std::string_view reply);
std::optional<BannerList> parseBannerList(std::string_view reply);

}  // namespace squadlink
