#include "link/Codec.h"

#include "core/TextUtil.h"

namespace squadlink::codec {

std::string scramble(std::string_view plain) {
    std::string out(plain.rbegin(), plain.rend());
    for (char& c : out) {
        c = static_cast<char>(static_cast<unsigned char>(c) ^ kMask);
    }
    return out;
}

void unscramble(std::string& text) {
    text = scramble(text);
}

std::string build(char code, std::initializer_list<std::string_view> fields) {
    std::string out;
    out.push_back(code);
    out.push_back('\0');
    for (const auto field : fields) {
        out.append(field);
        out.push_back('\0');
    }
    return out;
}

bool hasCode(std::string_view message, char code, std::size_t minLen, std::size_t maxLen) {
    return message.size() >= 2 && foldCase(message[0]) == foldCase(code) && message[1] == '\0' &&
           message.size() >= minLen && message.size() <= maxLen;
}

bool isExactly(std::string_view message, char code) {
    return hasCode(message, code, 2, 2);
}

std::string_view chatText(std::string_view message) {
    if (message.size() < 3) {
        return {};
    }
    return message.substr(2, message.size() - 3);
}

std::string_view pingReportAddress(std::string_view message) {
    if (message.size() < 3) {
        return {};
    }
    const std::size_t last = message.size() - 1;
    const std::size_t nul = message.rfind('\0', last - 1);
    if (nul == std::string_view::npos) {
        return {};
    }
    return message.substr(nul + 1, last - nul - 1);
}

std::string_view fieldAt(std::string_view message, std::size_t start, bool& found) {
    if (start >= message.size()) {
        found = false;
        return {};
    }
    const std::size_t nul = message.find('\0', start);
    found = nul != std::string_view::npos;
    return found ? message.substr(start, nul - start) : message.substr(start);
}

bool isGameServerReply(std::string_view data, char typeLetter) {
    return data.size() >= 5 && data.substr(0, 4) == "\xFF\xFF\xFF\xFF" &&
           foldCase(data[4]) == foldCase(typeLetter);
}

}  // namespace squadlink::codec
