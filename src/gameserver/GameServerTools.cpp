#include "gameserver/GameServerTools.h"

namespace squadlink {

GameServerTools::GameServerTools(Link& link)
    : m_link(link),
      m_gameInfo(link.context().ui),
      m_query(link.context(), link),
      m_entry(link.context(), AddressEntry::Actions{[this] { m_query.coScan_Click(); },
                                                    [this] { m_link.fighter().coConnect_Click(); },
                                                    [this] { m_query.clearServerDetails(); }}) {
    m_link.context().gameServer = &m_query;
    m_link.context().gameInfo = &m_gameInfo;
}

GameServerTools::~GameServerTools() {
    m_link.context().gameServer = nullptr;
    m_link.context().gameInfo = nullptr;
}

void GameServerTools::connectHandlers() {
    auto& ctx = m_link.context();
    auto guarded = [&ctx](auto handler) { return [&ctx, handler] { ctx.guard.run(handler); }; };
    ctx.ui.coScan.Click.connect(guarded([this] { m_query.coScan_Click(); }));
    ctx.ui.coPingGame.Click.connect(guarded([this] { m_query.coPingGame_Click(); }));
    ctx.ui.coSendPing.Click.connect(guarded([this] { m_query.coSendPing_Click(); }));
    m_entry.connectHandlers();
}

}  // namespace squadlink
