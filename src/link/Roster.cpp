#include "link/Roster.h"

#include "core/TextUtil.h"

namespace squadlink::roster {

std::string entry(std::string_view nick, std::string_view address, std::string_view pingColumn) {
    std::string text;
    text.reserve(nick.size() + address.size() + pingColumn.size() + 2);
    text.append(nick).append("\t").append(address).append("\t").append(pingColumn);
    return text;
}

std::string_view nick(std::string_view entryText) {
    return entryText.substr(0, entryText.find('\t'));
}

std::string_view address(std::string_view entryText) {
    const auto first = entryText.find('\t');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto second = entryText.find('\t', first + 1);
    const auto length =
        second == std::string_view::npos ? std::string_view::npos : second - first - 1;
    return entryText.substr(first + 1, length);
}

std::string_view head(std::string_view entryText) {
    const auto first = entryText.find('\t');
    const auto second =
        first == std::string_view::npos ? std::string_view::npos : entryText.find('\t', first + 1);
    return second == std::string_view::npos ? entryText : entryText.substr(0, second + 1);
}

std::string pingColumn(std::string_view pingText) {
    // Long texts get no blanks instead of a negative count; only three digits ever align.
    const std::size_t blanks = pingText.size() < 4 ? (4 - pingText.size()) * 2 : 0;
    std::string column(blanks, ' ');
    column.append(pingText).append(" ms");
    // A TAB from the wire would add a column to the roster entry.
    for (char& c : column) {
        if (c == '\t') {
            c = ' ';
        }
    }
    return column;
}

int findByAddress(const ListBox& list, std::string_view address) {
    for (int i = 0; i < list.listCount(); ++i) {
        if (equalsIgnoreCase(roster::address(list.list(i)), address)) {
            return i;
        }
    }
    return -1;
}

int findByNick(const ListBox& list, std::string_view nick) {
    for (int i = 0; i < list.listCount(); ++i) {
        if (equalsIgnoreCase(roster::nick(list.list(i)), nick)) {
            return i;
        }
    }
    return -1;
}

std::vector<std::string> addresses(const ListBox& list, bool selectedOnly) {
    std::vector<std::string> result;
    for (int i = 0; i < list.listCount(); ++i) {
        if (!selectedOnly || list.selected(i)) {
            result.emplace_back(roster::address(list.list(i)));
        }
    }
    return result;
}

}  // namespace squadlink::roster
