#pragma once

#include "gameserver/AddressEntry.h"
#include "gameserver/GameInfo.h"
#include "gameserver/ServerQuery.h"
#include "link/Link.h"

namespace squadlink {

// The game server tools of one copy: address entry, game info, scan, ping and report. Built
// after the link, whose socket, flood lock and Fighter side they use; the link asks them for
// game-server replies and game info through the interfaces it holds.
class GameServerTools {
public:
    explicit GameServerTools(Link& link);
    GameServerTools(const GameServerTools&) = delete;
    GameServerTools& operator=(const GameServerTools&) = delete;
    ~GameServerTools();

    // Connects the boxes, the buttons and the link's hooks.
    void connectHandlers();

    GameInfo& gameInfo() { return m_gameInfo; }
    ServerQuery& query() { return m_query; }
    AddressEntry& entry() { return m_entry; }

private:
    Link& m_link;
    GameInfo m_gameInfo;
    ServerQuery m_query;
    AddressEntry m_entry;
};

}  // namespace squadlink
