#include "gameserver/ServerQuery.h"

#include <cmath>
#include <cstdlib>

#include "gameserver/EntryRules.h"

namespace squadlink {

namespace {
// A server may ask for a fresh challenge once more if the first one expired on the way;
// more than that is a server playing games.
constexpr int kMostChallenges = 2;
}  // namespace

std::int64_t ServerQuery::roundTrip(std::int64_t elapsedUs, float factor) {
    const float milliseconds = static_cast<float>(std::llabs(elapsedUs)) / 1000.0F;
    // nearbyint follows the default rounding mode, which rounds halves to the even number.
    return static_cast<std::int64_t>(std::nearbyint(milliseconds * factor));
}

void ServerQuery::clearServerDetails() {
    auto& ui = m_ctx.ui;
    ui.lGameName.clear();
    ui.lGameSecure.clear();
    ui.lServerPing.clear();
    ui.lMapPlayers.clear();
    ui.lServerType.clear();
    ui.imgServerType.clear();
}

bool ServerQuery::send(const std::string& address, const std::string& query) {
    const GameAddress split = SplitGameAddress(address);
    if (!split.portUsable) {
        return false;
    }
    m_ctx.socket().setRemoteHost(split.host);
    m_ctx.socket().setRemotePort(split.port);
    m_ctx.ui.tBanner.stop();
    m_challengesAnswered = 0;
    sendAgain(query);
    return true;
}

void ServerQuery::sendAgain(const std::string& query) {
    m_sentUs = m_ctx.platform.clock.tickUs();
    m_ctx.state.nQueryClock = m_sentUs;
    m_ctx.socket().sendData(query);
}

void ServerQuery::coScan_Click() {
    auto& ui = m_ctx.ui;
    if (ui.tGame.text().size() < 3) {
        m_ctx.messages.warning("Game server address unknown");
        return;
    }
    if (!m_lock.acquireLock()) {
        return;
    }
    clearServerDetails();
    m_pending = Pending::Scan;
    try {
        if (!send(ui.tGame.text(), InfoQuery())) {
            m_pending = Pending::None;
            ui.tGame.setText({});
            return;
        }
        m_ctx.doEvents();
    } catch (const RuntimeError& error) {
        if (!isSendFailure(error)) {
            throw;
        }
        m_pending = Pending::None;
        clearServerDetails();
        m_ctx.messages.warning("Destination computer not reachable");
    }
}

void ServerQuery::coPingGame_Click() {
    auto& ui = m_ctx.ui;
    if (ui.lServer.caption().size() <= 2) {
        m_ctx.messages.warning("Game server address invalid or not received yet");
        return;
    }
    if (!m_lock.acquireLock()) {
        return;
    }
    ui.lClientPing.clear();
    m_pending = Pending::Ping;
    try {
        if (!send(ui.lServer.caption(), PingQuery())) {
            m_pending = Pending::None;
            m_ctx.messages.warning("Game server address invalid or not received yet");
            return;
        }
        m_ctx.doEvents();
    } catch (const RuntimeError& error) {
        if (!isSendFailure(error)) {
            throw;
        }
        m_pending = Pending::None;
        ui.lServer.clear();
        ui.lPassword.clear();
        ui.lProtection.clear();
        ui.lClientPing.clear();
        m_ctx.state.nReportedPing = -1;
        m_ctx.messages.warning("Destination computer not reachable");
    }
}

void ServerQuery::coSendPing_Click() {
    auto& ui = m_ctx.ui;
    auto& state = m_ctx.state;
    if (state.sArrangerAddress.size() < 3) {
        m_ctx.messages.warning("Not connected to War Arranger");
        return;
    }
    if (ui.lServer.caption().size() < 3) {
        m_ctx.messages.warning("Game server address invalid or not received yet");
        return;
    }
    const std::string& shown = ui.lClientPing.caption();
    if (shown.size() <= 3) {
        m_ctx.messages.warning("Ping the game server first");
        return;
    }
    const std::string ping = shown.substr(0, shown.find(" ms"));
    // The label only ever holds a number from 0 to 999 followed by " ms".
    const int value = std::atoi(ping.c_str());
    if (value == state.nReportedPing) {
        m_ctx.messages.warning("Current game ping was already reported");
        return;
    }
    state.nReportedPing = value;
    m_reports.sendPingReport(ping, ui.lServer.caption());
    ui.tTimeout.restart();
}

std::int64_t ServerQuery::finishRoundTrip(float factor) {
    const std::int64_t elapsed = m_ctx.platform.clock.tickUs() - m_sentUs;
    const std::int64_t trip = roundTrip(elapsed, factor);
    m_ctx.state.nQueryClock = trip;
    return trip;
}

void ServerQuery::resumeBanner() {
    if (m_resumeBanner) {
        m_resumeBanner();
    }
}

bool ServerQuery::takeGameServerReply(std::string_view datagram) {
    const ReplyKind kind = ClassifyReply(datagram);
    if (m_ctx.fighterMode()) {
        if (kind != ReplyKind::Ping) {
            return false;
        }
        if (m_pending == Pending::Ping) {
            m_pending = Pending::None;
            const std::int64_t trip = finishRoundTrip(kPingFactor);
            if (trip > -1 && trip < 1000) {
                m_ctx.ui.lClientPing.setCaption(std::to_string(trip) + " ms");
            }
        }
        resumeBanner();
        return true;
    }
    if (!m_ctx.arrangerMode() ||
        (kind != ReplyKind::Details && kind != ReplyKind::Info && kind != ReplyKind::Challenge)) {
        return false;
    }
    if (m_pending == Pending::Scan) {
        if (kind == ReplyKind::Challenge) {
            const auto challenge = ParseChallenge(datagram);
            if (challenge && m_challengesAnswered < kMostChallenges) {
                ++m_challengesAnswered;
                // The round trip is the answered query's, so the clock starts again here.
                sendAgain(InfoQuery() + *challenge);
            }
        } else if (kind == ReplyKind::Details) {
            finishRoundTrip(kScanFactor);
            ShowServerDetails(datagram);
        } else if (const auto details = ParseInfoReply(datagram)) {
            finishRoundTrip(kScanFactor);
            showDetails(*details);
        }
    }
    resumeBanner();
    return true;
}

void ServerQuery::ShowServerDetails(std::string_view reply) {
    if (const auto details = ParseDetailsReply(reply)) {
        showDetails(*details);
    }
}

void ServerQuery::showDetails(const ServerDetails& details) {
    const std::int64_t trip = m_ctx.state.nQueryClock;
    if (trip < 0 || trip > 999) {
        return;
    }
    // One scan fills the details once, whichever reply came first.
    m_pending = Pending::None;
    auto& ui = m_ctx.ui;
    ui.lGameName.setCaption(details.name);
    ui.lGameSecure.setCaption(details.protection);
    ui.lServerPing.setCaption(std::to_string(trip) + " ms");
    ui.lMapPlayers.setCaption(details.map + " (" + std::to_string(details.players) + " / " +
                              std::to_string(details.slotCount) + ")");
    ui.lServerType.setCaption(details.serverType);
    ui.imgServerType.setCaption(details.serverType.front() == 'L' ? "101" : "102");
    m_ctx.settings.writeText(key::Game, ui.tGame.text());
}

}  // namespace squadlink
