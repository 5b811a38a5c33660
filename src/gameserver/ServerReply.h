#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace squadlink {

inline constexpr std::string_view kValveAntiCheat = "Valve Anti-Cheat (VAC)";
inline constexpr std::string_view kCheatingDeath = "Cheating-Death (C-D)";

// What a game server's information reply tells about it, as the War Arranger shows it.
struct ServerDetails {
    std::string name;
    std::string map;
    int players = 0;
    int slotCount = 0;
    // "Windows dedicated server", "Linux listen server", ...
    std::string serverType;
    // kValveAntiCheat or kCheatingDeath.
    std::string protection;

    bool operator==(const ServerDetails&) const = default;
};

// The kinds of reply a game server sends: four 0xFF bytes and a type letter.
enum class ReplyKind { Unknown, Details, Info, Challenge, Ping };

// The queries, byte for byte as they go on the wire.
std::string InfoQuery();
std::string PingQuery();

// The kind by the first five bytes (the type letter's case ignored).
ReplyKind ClassifyReply(std::string_view datagram);
// The older detailed reply ("m"); nullopt when any rule refuses it.
std::optional<ServerDetails> ParseDetailsReply(std::string_view datagram);
// Today's information reply ("I"), under the same rules where they apply.
std::optional<ServerDetails> ParseInfoReply(std::string_view datagram);
// The four challenge bytes of an "A" reply, to be appended to the query.
std::optional<std::string> ParseChallenge(std::string_view datagram);

}  // namespace squadlink
