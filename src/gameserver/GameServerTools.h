#pragma once

#include <functional>

#include "core/ActionLock.h"
#include "core/Context.h"
#include "core/PingReportSender.h"
#include "gameserver/AddressEntry.h"
#include "gameserver/GameInfo.h"
#include "gameserver/ServerQuery.h"

namespace squadlink {

// The game server tools of one copy: address entry, game info, scan, ping and report. They send
// through the shared socket and the link's flood lock and ping reports; the link in turn asks
// them for game-server replies and game info through the interfaces in core.
class GameServerTools {
public:
    GameServerTools(const Context& context, PingReportSender& reports, ActionLock& lock,
                    std::function<void()> connect);
    GameServerTools(const GameServerTools&) = delete;
    GameServerTools& operator=(const GameServerTools&) = delete;

    // Connects the boxes and the buttons.
    void connectHandlers();

    GameInfo& gameInfo() { return m_gameInfo; }
    ServerQuery& query() { return m_query; }
    AddressEntry& entry() { return m_entry; }

private:
    Context m_ctx;
    GameInfo m_gameInfo;
    ServerQuery m_query;
    AddressEntry m_entry;
};

}  // namespace squadlink
