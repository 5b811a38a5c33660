#include "gameserver/GameServerTools.h"

#include <utility>

namespace squadlink {

GameServerTools::GameServerTools(const Context& context, PingReportSender& reports,
                                 ActionLock& lock, std::function<void()> connect)
    : m_ctx(context),
      m_gameInfo(context.ui),
      m_query(context, reports, lock),
      m_entry(context, AddressEntry::Actions{[this] { m_query.coScan_Click(); }, std::move(connect),
                                             [this] { m_query.clearServerDetails(); }}) {
}

void GameServerTools::connectHandlers() {
    auto guarded = [this](auto handler) { return [this, handler] { m_ctx.guard.run(handler); }; };
    m_ctx.ui.coScan.Click.connect(guarded([this] { m_query.coScan_Click(); }));
    m_ctx.ui.coPingGame.Click.connect(guarded([this] { m_query.coPingGame_Click(); }));
    m_ctx.ui.coSendPing.Click.connect(guarded([this] { m_query.coSendPing_Click(); }));
    m_entry.connectHandlers();
}

}  // namespace squadlink
