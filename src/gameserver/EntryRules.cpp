#include "gameserver/EntryRules.h"

#include <algorithm>

namespace squadlink {

namespace {
constexpr std::size_t kAddressMin = 3;
constexpr std::size_t kAddressMax = 34;
constexpr std::size_t kPasswordMax = 18;

bool isAsciiLetterOrDigit(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}
}  // namespace

bool IsValidGameAddress(std::string_view address) {
    if (address.size() < kAddressMin || address.size() > kAddressMax) {
        return false;
    }
    return std::all_of(address.begin(), address.end(), [](char c) {
        return isAsciiLetterOrDigit(c) || c == '-' || c == '.' || c == ':';
    });
}

bool IsValidGamePassword(std::string_view password) {
    if (password.size() > kPasswordMax) {
        return false;
    }
    return std::all_of(password.begin(), password.end(),
                       [](char c) { return c >= ' ' && c <= '~' && c != '"'; });
}

std::string ConsoleCommand(std::string_view address, std::string_view password) {
    std::string command;
    if (!password.empty()) {
        command.append("password \"").append(password).append("\"; ");
    }
    command.append("connect ").append(address);
    return command;
}

}  // namespace squadlink
