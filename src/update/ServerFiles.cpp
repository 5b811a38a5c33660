#include "update/ServerFiles.h"

#include <cmath>

#include "core/TextUtil.h"

namespace squadlink {

namespace {

// Line positions were kept in a byte: a line must end (its LF) within the first 255
// characters of the text that remains.
constexpr std::size_t kMaxLinePosition = 255;

bool containsIgnoreCase(std::string_view text, std::string_view part) {
    if (part.size() > text.size()) {
        return false;
    }
    for (std::size_t i = 0; i + part.size() <= text.size(); ++i) {
        if (equalsIgnoreCase(text.substr(i, part.size()), part)) {
            return true;
        }
    }
    return false;
}

// The 1-based position of the first LF, 0 when there is none.
std::size_t lineFeedPosition(std::string_view text) {
    const std::size_t found = text.find('\n');
    return found == std::string_view::npos ? 0 : found + 1;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

bool isPresentReply(std::string_view reply) {
    return !reply.empty() && !containsIgnoreCase(reply, "404 Not Found");
}

std::optional<int> readByteNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() &&
           (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    double value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        // Anything past a few digits is out of range anyway; stop growing before infinity.
        if (value < 1e9) {
            value = value * 10 + (text[i] - '0');
        }
    }
    if (i < text.size() && text[i] == '.') {
        double scale = 0.1;
        for (++i; i < text.size() && isDigit(text[i]); ++i) {
            value += (text[i] - '0') * scale;
            scale /= 10;
        }
    }
    if (negative) {
        value = -value;
    }
    const double rounded = std::nearbyint(value);
    if (rounded < 0 || rounded > 255) {
        return std::nullopt;
    }
    return static_cast<int>(rounded);
}

std::optional<UpdateInfo> parseUpdateInfo(std::string_view reply) {
    if (reply.size() <= 4 || !isPresentReply(reply)) {
        return std::nullopt;
    }
    const std::size_t lf = lineFeedPosition(reply);
    if (lf <= 2 || lf > kMaxLinePosition) {
        return std::nullopt;
    }
    const std::optional<int> release = readByteNumber(reply.substr(lf));
    if (!release) {
        return std::nullopt;
    }
    return UpdateInfo{std::string(reply.substr(0, lf - 1)), *release};
}

std::optional<BannerList> parseBannerList(std::string_view reply) {
    if (!isPresentReply(reply)) {
        return std::nullopt;
    }
    std::size_t lf = lineFeedPosition(reply);
    if (lf == 0 || lf > kMaxLinePosition) {
        return std::nullopt;
    }
    const std::optional<int> count = readByteNumber(reply.substr(0, lf - 1));
    if (!count || *count == 0) {
        return std::nullopt;
    }
    std::string_view rest = reply.substr(lf);
    BannerList list;
    list.images.reserve(static_cast<std::size_t>(*count));
    list.links.reserve(static_cast<std::size_t>(*count));
    for (int i = 0; i < *count; ++i) {
        lf = lineFeedPosition(rest);
        // A picture line shorter than 10 characters (or missing) fails the whole list.
        if (lf <= 10 || lf > kMaxLinePosition) {
            return std::nullopt;
        }
        list.images.emplace_back(rest.substr(0, lf - 1));
        rest.remove_prefix(lf);
        if (i == *count - 1) {
            list.links.emplace_back(rest);
        } else {
            lf = lineFeedPosition(rest);
            if (lf == 0 || lf > kMaxLinePosition) {
                return std::nullopt;
            }
            list.links.emplace_back(rest.substr(0, lf - 1));
            rest.remove_prefix(lf);
        }
    }
    return list;
}

}  // namespace squadlink
