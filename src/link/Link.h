#pragma once

#include <string>

#include "core/LinkSender.h"
#include "core/PingReportSender.h"
#include "link/ArrangerSide.h"
#include "link/FighterSide.h"
#include "link/FloodGuard.h"
#include "link/KickBan.h"
#include "link/LinkContext.h"

namespace squadlink {

// The Arranger–Fighter link: owns both sides, the flood guard and kick/ban, receives the
// socket's events and connects the link's controls to their handlers.
class Link : public UdpSocketEvents, public LinkSender, public PingReportSender {
public:
    explicit Link(const Context& context);
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    // The game server tools take their replies off the shared socket and know the game info;
    // without them every game-server reply is ignored and all game info refused.
    void attachGameServer(GameServerReplies* replies, const GameInfoSource* gameInfo) {
        m_ctx.gameServer = replies;
        m_ctx.gameInfo = gameInfo;
    }
    ~Link() override;

    // Connects the link's control events (Connect, Send, Refresh, Kick, Ban, roster menu,
    // mode options, tFlood, tTimeout) through the common error handler.
    void connectHandlers();

    void ws_DataArrival(const Datagram& datagram);
    void ws_Error(int number, const std::string& description);
    void oServer_Click();
    void oClient_Click();

    void SendToArranger(std::string_view plainMessage) override {
        m_fighter.SendToArranger(plainMessage);
    }
    void BroadcastToFighters(std::string_view exceptAddress,
                             std::string_view plainMessage) override {
        m_arranger.BroadcastToFighters(exceptAddress, plainMessage);
    }

    void onDataArrival(const Datagram& datagram) override;
    void onSocketError(int number, const std::string& description) override;
    void sendPingReport(std::string_view ping, std::string_view server) override;

    LinkContext& context() { return m_ctx; }
    ArrangerSide& arranger() { return m_arranger; }
    FighterSide& fighter() { return m_fighter; }
    FloodGuard& flood() { return m_flood; }
    KickBan& kickBan() { return m_kickBan; }

private:
    void dispatch(std::string data, const std::string& sender);
    bool takenByGameServer(const std::string& data);
    void rebindAfterReset(const std::string& message);
    void storeModes();
    void guarded(const std::function<void()>& handler) { m_ctx.guard.run(handler); }

    LinkContext m_ctx;
    ArrangerSide m_arranger;
    FighterSide m_fighter;
    FloodGuard m_flood;
    KickBan m_kickBan;
};

}  // namespace squadlink
