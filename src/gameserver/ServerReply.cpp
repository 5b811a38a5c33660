#include "gameserver/ServerReply.h"

#include "core/TextUtil.h"

namespace squadlink {

namespace {

constexpr std::string_view kHeader = "\xFF\xFF\xFF\xFF";
constexpr int kMostPlayers = 32;

// Reads a reply front to back; any read past the end fails the whole reply.
class Reader {
public:
    Reader(std::string_view data, std::size_t position) : m_data(data), m_pos(position) {}

    // A NUL-terminated string whose terminator lies at most `maxLength` bytes after its
    // first byte.
    std::optional<std::string_view> string(std::size_t maxLength) {
        const auto end = m_data.find('\0', m_pos);
        if (end == std::string_view::npos || end - m_pos > maxLength) {
            return std::nullopt;
        }
        const std::string_view field = m_data.substr(m_pos, end - m_pos);
        m_pos = end + 1;
        return field;
    }
    std::optional<unsigned char> byte() {
        if (m_pos >= m_data.size()) {
            return std::nullopt;
        }
        return static_cast<unsigned char>(m_data[m_pos++]);
    }
    bool skip(std::size_t count) {
        if (m_data.size() - m_pos < count) {
            return false;
        }
        m_pos += count;
        return true;
    }

private:
    std::string_view m_data;
    std::size_t m_pos;
};

// The detailed reply's position counters are 8 bits wide: a field's terminator must come
// within the first 254 bytes of the field.
constexpr std::size_t kLongestField = 253;

std::optional<std::string> serverKind(unsigned char c) {
    switch (foldCase(static_cast<char>(c))) {
        case 'd':
            return std::string(" dedicated server");
        case 'l':
            return std::string(" listen server");
        default:
            return std::nullopt;
    }
}

std::optional<std::string> operatingSystem(unsigned char c) {
    switch (foldCase(static_cast<char>(c))) {
        case 'w':
            return std::string("Windows");
        case 'l':
            return std::string("Linux");
        default:
            return std::nullopt;
    }
}

std::optional<std::string> antiCheat(unsigned char c) {
    switch (c) {
        case 1:
            return std::string(kValveAntiCheat);
        case 0:
            return std::string(kCheatingDeath);
        default:
            return std::nullopt;
    }
}

// The fields both replies share, in the same order: name, map, folder, game.
bool readNames(Reader& reader, ServerDetails& details) {
    const auto name = reader.string(kLongestField);
    const auto map = name ? reader.string(kLongestField) : std::nullopt;
    const auto folder = map ? reader.string(kLongestField) : std::nullopt;
    const auto game = folder ? reader.string(kLongestField) : std::nullopt;
    if (!game || name->empty() || map->empty() || folder->empty() ||
        !equalsIgnoreCase(*game, "Counter-Strike")) {
        return false;
    }
    details.name = std::string(*name);
    details.map = std::string(*map);
    return true;
}

bool playerCounts(std::optional<unsigned char> players, std::optional<unsigned char> slots,
                  ServerDetails& details) {
    if (!players || !slots || *players > kMostPlayers || *slots > kMostPlayers ||
        *slots < *players) {
        return false;
    }
    details.players = *players;
    details.slotCount = *slots;
    return true;
}

// Both replies carry the same run: players, slots, one byte, server type, system, one byte.
// Type 'p' (a relay) and systems other than Windows and Linux are not game servers the game can
// join here.
bool readCountsAndType(Reader& reader, ServerDetails& details) {
    const auto players = reader.byte();
    const auto slots = reader.byte();
    if (!playerCounts(players, slots, details) || !reader.skip(1)) {
        return false;
    }
    const auto kindByte = reader.byte();
    const auto systemByte = reader.byte();
    const auto kind = kindByte ? serverKind(*kindByte) : std::nullopt;
    const auto system = systemByte ? operatingSystem(*systemByte) : std::nullopt;
    if (!kind || !system || !reader.skip(1)) {
        return false;
    }
    details.serverType = *system + *kind;
    return true;
}

bool readProtection(Reader& reader, ServerDetails& details) {
    const auto cheatByte = reader.byte();
    const auto protection = cheatByte ? antiCheat(*cheatByte) : std::nullopt;
    if (!protection) {
        return false;
    }
    details.protection = *protection;
    return true;
}

}  // namespace

std::string InfoQuery() {
    return std::string(kHeader) + "TSource Engine Query" + std::string(1, '\0');
}

std::string PingQuery() {
    return std::string(kHeader) + "ping" + std::string(1, '\0');
}

ReplyKind ClassifyReply(std::string_view datagram) {
    if (datagram.size() < 5 || datagram.substr(0, 4) != kHeader) {
        return ReplyKind::Unknown;
    }
    switch (foldCase(datagram[4])) {
        case 'm':
            return ReplyKind::Details;
        case 'i':
            return ReplyKind::Info;
        case 'a':
            return ReplyKind::Challenge;
        case 'j':
            return ReplyKind::Ping;
        default:
            return ReplyKind::Unknown;
    }
}

std::optional<ServerDetails> ParseDetailsReply(std::string_view datagram) {
    if (ClassifyReply(datagram) != ReplyKind::Details) {
        return std::nullopt;
    }
    Reader reader(datagram, 5);
    // The address starts at byte 6 and must end by byte 254 of the reply.
    const auto address = reader.string(248);
    if (!address || address->size() < 3) {
        return std::nullopt;
    }
    ServerDetails details;
    if (!readNames(reader, details)) {
        return std::nullopt;
    }
    if (!readCountsAndType(reader, details) || reader.byte() != std::optional<unsigned char>(1)) {
        return std::nullopt;
    }
    // Mod web link (one byte shorter than the other fields: its counter starts one later),
    // download link, then a separator and ten bytes of mod data.
    if (!reader.string(kLongestField - 1) || !reader.string(kLongestField) || !reader.skip(11) ||
        !readProtection(reader, details)) {
        return std::nullopt;
    }
    return details;
}

std::optional<ServerDetails> ParseInfoReply(std::string_view datagram) {
    if (ClassifyReply(datagram) != ReplyKind::Info) {
        return std::nullopt;
    }
    Reader reader(datagram, 5);
    ServerDetails details;
    if (!reader.skip(1) || !readNames(reader, details) || !reader.skip(2)) {
        return std::nullopt;
    }
    if (!readCountsAndType(reader, details) || !readProtection(reader, details)) {
        return std::nullopt;
    }
    return details;
}

std::optional<std::string> ParseChallenge(std::string_view datagram) {
    if (ClassifyReply(datagram) != ReplyKind::Challenge || datagram.size() < 9) {
        return std::nullopt;
    }
    return std::string(datagram.substr(5, 4));
}

}  // namespace squadlink
