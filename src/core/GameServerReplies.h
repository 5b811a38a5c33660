#pragma once

#include <string_view>

namespace squadlink {

// Takes the game server's answers out of the shared socket's arrivals before the link reads
// them as link messages.
class GameServerReplies {
public:
    virtual ~GameServerReplies() = default;
    // True when the datagram was a game-server reply this copy expects in its mode; it must
    // then not be read as a link message.
    virtual bool takeGameServerReply(std::string_view datagram) = 0;
};

}  // namespace squadlink
