#include "gameserver/EntryRules.h"

#include "core/TextUtil.h"

namespace squadlink {

namespace {

bool isLetter(int c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool isDigit(int c) {
    return c >= '0' && c <= '9';
}

// Line breaks of either convention, so that text copied on this desktop pastes like text
// copied on Windows.
std::string withoutLineBreaks(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        if (c != '\r' && c != '\n') {
            result.push_back(c);
        }
    }
    return result;
}

std::string cleanedClipboard(std::string_view text, std::size_t longest) {
    std::string cleaned = trimBlanks(withoutLineBreaks(text));
    if (cleaned.size() > longest) {
        cleaned.resize(longest);
    }
    return cleaned;
}

bool hasAdjacentSeparators(std::string_view text, std::string_view separators) {
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (separators.find(text[i - 1]) != std::string_view::npos &&
            separators.find(text[i]) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

std::string_view upToFirstColon(std::string_view text) {
    return text.substr(0, text.find(':'));
}

}  // namespace

std::size_t LongestLength(EntryBox box) {
    switch (box) {
        case EntryBox::Game:
        case EntryBox::Server:
            return 34;
        case EntryBox::Password:
            return 18;
        case EntryBox::Nick:
            return 23;
    }
    return 0;
}

bool IsAcceptedKey(EntryBox box, int keyAscii) {
    if (box == EntryBox::Password) {
        return keyAscii == 8 || (keyAscii >= 32 && keyAscii <= 126 && keyAscii != 34);
    }
    if (keyAscii == 8 || keyAscii == 32 || isLetter(keyAscii)) {
        return true;
    }
    switch (box) {
        case EntryBox::Game:
            return keyAscii >= 45 && keyAscii <= 58;
        case EntryBox::Server:
            return keyAscii >= 45 && keyAscii <= 57;
        case EntryBox::Nick:
            return isDigit(keyAscii);
        case EntryBox::Password:
            break;
    }
    return false;
}

bool IsAcceptedCharacter(EntryBox box, char c) {
    const int code = static_cast<unsigned char>(c);
    switch (box) {
        case EntryBox::Game:
            return isLetter(code) || isDigit(code) || c == '-' || c == '.' || c == ':';
        case EntryBox::Server:
            return isLetter(code) || isDigit(code) || c == '-' || c == '.';
        case EntryBox::Nick:
            return isLetter(code) || isDigit(code) || c == ' ';
        case EntryBox::Password:
            return code >= 0x20 && code <= 0x7E && code != 0x22;
    }
    return false;
}

std::string CheckedContent(EntryBox box, std::string_view text) {
    const std::string_view cut = text.substr(0, LongestLength(box));
    for (const char c : cut) {
        if (!IsAcceptedCharacter(box, c)) {
            return {};
        }
    }
    if (box == EntryBox::Game || box == EntryBox::Server) {
        return trimBlanks(cut);
    }
    return std::string(cut);
}

std::string TidiedOnLeaving(EntryBox box, std::string_view text) {
    switch (box) {
        case EntryBox::Game: {
            constexpr std::string_view separators = "-./:";
            const bool keep =
                text.size() >= 3 && separators.find(text.front()) == std::string_view::npos &&
                separators.find(text.back()) == std::string_view::npos &&
                !hasAdjacentSeparators(text, separators) &&
                (text.find(':') == std::string_view::npos || text.size() - text.find(':') - 1 <= 5);
            return keep ? std::string(text) : std::string();
        }
        case EntryBox::Server: {
            constexpr std::string_view separators = "-./";
            const bool keep = text.size() >= 3 &&
                              separators.find(text.front()) == std::string_view::npos &&
                              separators.find(text.back()) == std::string_view::npos &&
                              !hasAdjacentSeparators(text, separators);
            return keep ? std::string(text) : std::string();
        }
        case EntryBox::Nick:
            return trimBlanks(text);
        case EntryBox::Password:
            break;
    }
    return std::string(text);
}

std::string KeyPasteText(EntryBox box, std::string_view clipboard) {
    std::string text = cleanedClipboard(clipboard, LongestLength(box));
    if (box == EntryBox::Server) {
        text = std::string(upToFirstColon(text));
    }
    return text;
}

std::string PasteButtonText(EntryBox box, std::string_view clipboard) {
    std::string text = cleanedClipboard(clipboard, 34);
    if (box == EntryBox::Server) {
        constexpr std::string_view prefix = "sqd://";
        for (std::size_t i = 0; i + prefix.size() <= text.size(); ++i) {
            if (equalsIgnoreCase(std::string_view(text).substr(i, prefix.size()), prefix)) {
                text.erase(0, i + prefix.size());
                break;
            }
        }
        text = std::string(upToFirstColon(text));
    }
    return text;
}

bool IsValidGameAddress(std::string_view address) {
    if (address.size() < 3 || address.size() > LongestLength(EntryBox::Game)) {
        return false;
    }
    for (const char c : address) {
        if (!IsAcceptedCharacter(EntryBox::Game, c)) {
            return false;
        }
    }
    return true;
}

bool IsValidGamePassword(std::string_view password) {
    if (password.size() > LongestLength(EntryBox::Password)) {
        return false;
    }
    for (const char c : password) {
        if (!IsAcceptedCharacter(EntryBox::Password, c)) {
            return false;
        }
    }
    return true;
}

std::string ConsoleCommand(std::string_view address, std::string_view password) {
    std::string command;
    if (!password.empty()) {
        command.append("password \"").append(password).append("\"; ");
    }
    command.append("connect ").append(address);
    return command;
}

GameAddress SplitGameAddress(std::string_view address) {
    GameAddress result;
    const auto colon = address.find(':');
    if (colon == std::string_view::npos) {
        result.host = std::string(address);
        return result;
    }
    result.host = std::string(address.substr(0, colon));
    const std::string_view port = address.substr(colon + 1);
    // More than five digits cannot be a port; checking the length first keeps the sum small.
    std::uint32_t value = 0;
    bool digits = !port.empty() && port.size() <= 5;
    for (const char c : port) {
        if (!isDigit(static_cast<unsigned char>(c))) {
            digits = false;
            break;
        }
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    result.portUsable = digits && value >= 1 && value <= 65535;
    result.port = result.portUsable ? static_cast<std::uint16_t>(value) : 0;
    return result;
}

}  // namespace squadlink
