#include "chat/ChatMarkup.h"

#include "core/TextUtil.h"

namespace squadlink::chatmarkup {

namespace {

bool matchesAt(std::string_view text, std::size_t at, std::string_view code, bool exactCase) {
    if (at + code.size() > text.size()) {
        return false;
    }
    const std::string_view part = text.substr(at, code.size());
    return exactCase ? part == code : equalsIgnoreCase(part, code);
}

void replaceAll(std::string& text, std::string_view code, char marker, bool exactCase) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (matchesAt(text, i, code, exactCase)) {
            out.push_back(marker);
            i += code.size();
        } else {
            out.push_back(text[i]);
            ++i;
        }
    }
    text = std::move(out);
}

// The order matters: longer codes that contain shorter ones go first.
struct SmileyRule {
    std::string_view code;
    char number;
    bool exactCase;
};
constexpr std::array<SmileyRule, 12> kSmileyOrder = {{{">:(", 6, false},
                                                      {"::)", 9, false},
                                                      {":'(", 10, false},
                                                      {":)", 1, false},
                                                      {":(", 2, false},
                                                      {";)", 3, false},
                                                      {":P", 4, false},
                                                      {":D", 5, true},
                                                      {":|", 7, false},
                                                      {":o", 8, false},
                                                      {"8)", 11, false},
                                                      {"^^", 12, false}}};

}  // namespace

bool EncodeChatMarkup(std::string& text) {
    bool plain = true;
    std::size_t n = text.size();
    for (const SmileyRule& rule : kSmileyOrder) {
        replaceAll(text, rule.code, rule.number, rule.exactCase);
    }
    if (text.size() < n) {
        plain = false;
    }
    n = text.size();
    std::string marked = " " + text;
    for (const std::string_view scheme : kLinkSchemes) {
        std::string out;
        out.reserve(marked.size() + 8);
        for (std::size_t i = 0; i < marked.size(); ++i) {
            out.push_back(marked[i]);
            if (marked[i] == ' ' && matchesAt(marked, i + 1, scheme, false)) {
                // The scheme keeps the letters as typed; only the marker goes in.
                out.push_back(kLinkMarker);
            }
        }
        marked = std::move(out);
    }
    marked.erase(0, 1);
    text = std::move(marked);
    if (text.size() > n) {
        plain = false;
    }
    return plain;
}

bool startsWithLinkScheme(std::string_view text) {
    for (const std::string_view scheme : kLinkSchemes) {
        if (matchesAt(text, 0, scheme, false)) {
            return true;
        }
    }
    return false;
}

long leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    long value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        // A peer may send any number of digits; past a million every remark is the same.
        if (value < 1'000'000) {
            value = value * 10 + (text[i] - '0');
        }
        ++i;
    }
    return negative ? -value : value;
}

std::string_view reflexRemark(std::string_view score) {
    const long v = leadingNumber(score);
    if (v < 161) {
        return " ms on reflex test! We have a l33t here people, show some respect!";
    }
    if (v < 171) {
        return " ms on reflex test! Very nice, you are a real pro or just like one!";
    }
    if (v < 181) {
        return " ms on reflex test. Not bad for a g33k, but go practice some more.";
    }
    if (v < 191) {
        return " ms on reflex test. Are you good for anything but carrying the C4?";
    }
    return " ms on reflex test. Man, this n00b should be kicked out of clan...";
}

}  // namespace squadlink::chatmarkup
