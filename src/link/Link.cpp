#include "link/Link.h"

#include "link/Codec.h"
#include "link/Roster.h"

namespace squadlink {

Link::Link(const Context& context)
    : m_ctx(context), m_arranger(m_ctx), m_fighter(m_ctx), m_flood(m_ctx), m_kickBan(m_ctx) {
    m_ctx.arranger = &m_arranger;
    m_ctx.fighter = &m_fighter;
    m_ctx.flood = &m_flood;
    m_ctx.kickBan = &m_kickBan;
    m_ctx.socket().setEvents(this);
}

Link::~Link() {
    m_ctx.socket().setEvents(nullptr);
}

void Link::connectHandlers() {
    auto& ui = m_ctx.ui;
    ui.coConnect.Click.connect([this] { guarded([this] { m_fighter.coConnect_Click(); }); });
    ui.coSendInfo.Click.connect([this] { guarded([this] { m_arranger.coSendInfo_Click(); }); });
    ui.coRefresh.Click.connect([this] { guarded([this] { m_arranger.coRefresh_Click(); }); });
    ui.coKick.Click.connect([this] { guarded([this] { m_kickBan.coKick_Click(); }); });
    ui.coBan.Click.connect([this] { guarded([this] { m_kickBan.coBan_Click(); }); });
    ui.mKick.Click.connect([this] { guarded([this] { m_kickBan.coKick_Click(); }); });
    ui.mBan.Click.connect([this] { guarded([this] { m_kickBan.coBan_Click(); }); });
    ui.mSelectAll.Click.connect([this] { guarded([this] { m_kickBan.mSelectAll_Click(); }); });
    ui.mInvertSelection.Click.connect(
        [this] { guarded([this] { m_kickBan.mInvertSelection_Click(); }); });
    ui.mClearSelection.Click.connect(
        [this] { guarded([this] { m_kickBan.mClearSelection_Click(); }); });
    ui.lbFighters.MouseDown.connect([this](MouseButton button, int x, int y) {
        guarded([&] { m_kickBan.lbFighters_MouseDown(button, x, y); });
    });
    ui.lbFighters.MouseUp.connect([this](MouseButton button, int x, int y) {
        guarded([&] { m_kickBan.lbFighters_MouseUp(button, x, y); });
    });
    ui.oServer.Click.connect([this] { guarded([this] { oServer_Click(); }); });
    ui.oClient.Click.connect([this] { guarded([this] { oClient_Click(); }); });
    ui.tFlood.Tick.connect([this] { guarded([this] { m_flood.tFlood_Timer(); }); });
    ui.tTimeout.Tick.connect([this] { guarded([this] { m_flood.tTimeout_Timer(); }); });
    ui.t1sec.Tick.connect([this] { m_flood.resetCount(); });
}

void Link::storeModes() {
    m_ctx.settings.writeBool(key::ClientMode, m_ctx.ui.oClient.value());
    m_ctx.settings.writeBool(key::ServerMode, m_ctx.ui.oServer.value());
}

void Link::oServer_Click() {
    storeModes();
    // Clicking the mode already chosen changes nothing: setting it up again would forget the
    // connection without telling anybody.
    if (m_ctx.state.bFormReady && m_ctx.ui.oServer.value() && !m_arranger.entered()) {
        m_arranger.EnterArrangerMode(false);
    }
}

void Link::oClient_Click() {
    storeModes();
    if (m_ctx.state.bFormReady && m_ctx.ui.oClient.value() && !m_fighter.entered()) {
        m_fighter.EnterFighterMode(true);
    }
}

void Link::onDataArrival(const Datagram& datagram) {
    const Messages::NetworkInput networkInput(m_ctx.messages);
    guarded([&] { ws_DataArrival(datagram); });
}

void Link::onSocketError(int number, const std::string& description) {
    const Messages::NetworkInput networkInput(m_ctx.messages);
    guarded([&] { ws_Error(number, description); });
}

void Link::ws_DataArrival(const Datagram& datagram) {
    if (!m_ctx.state.bFormReady) {
        return;
    }
    m_flood.countDatagram();
    if (m_ctx.banner != nullptr) {
        m_ctx.banner->ResumeBannerRotation();
    }
    // Copies: the datagram's storage belongs to the socket, which events may close.
    std::string data = datagram.data;
    const std::string sender = datagram.senderIp;
    try {
        // Game-server replies are taken before pending events run, so that a round trip is
        // timed when its reply arrives.
        if (takenByGameServer(data)) {
            return;
        }
        m_ctx.doEvents();
        dispatch(std::move(data), sender);
    } catch (const RuntimeError& error) {
        switch (error.number()) {
            case err::InvalidPropertyArrayIndex:
                m_arranger.resetAfterInvalidIndex();
                break;
            case err::Overflow:
                if (m_ctx.arrangerMode()) {
                    m_ctx.ui.lServerPing.clear();
                } else {
                    m_ctx.ui.lClientPing.clear();
                    m_ctx.state.nReportedPing = -1;
                }
                break;
            case err::ConnectionReset:
                rebindAfterReset("Connection reset occured due to invalid connection attempt");
                break;
            case err::AddressInUse:
                m_ctx.guard.portsInUse();
            case err::BadAddress:
            case err::HostUnreachable:
                if (m_ctx.arrangerMode()) {
                    const int index = roster::findByAddress(m_ctx.ui.lbFighters, sender);
                    if (index >= 0) {
                        m_ctx.ui.lbFighters.removeItem(index);
                    }
                }
                break;
            default:
                throw;
        }
    }
}

void Link::dispatch(std::string data, const std::string& sender) {
    if (m_ctx.fighterMode()) {
        codec::unscramble(data);
        m_fighter.handleMessage(data, sender);
    } else if (m_ctx.arrangerMode()) {
        if (m_kickBan.refuseBanned(sender)) {
            return;
        }
        codec::unscramble(data);
        m_arranger.handleMessage(data, sender);
    }
}

bool Link::takenByGameServer(const std::string& data) {
    if (m_ctx.gameServer != nullptr) {
        return m_ctx.gameServer->takeGameServerReply(data);
    }
    // Without the game server tools a reply is still never taken for a link message.
    return (m_ctx.fighterMode() && codec::isGameServerReply(data, 'j')) ||
           (m_ctx.arrangerMode() && codec::isGameServerReply(data, 'm'));
}

void Link::sendPingReport(std::string_view ping, std::string_view server) {
    m_fighter.SendToArranger(codec::build('2', {ping, server}));
}

void Link::rebindAfterReset(const std::string& message) {
    auto& ui = m_ctx.ui;
    try {
        ui.lUserIP.clear();
        ui.lCompName.clear();
        m_ctx.socket().close();
        m_ctx.doEvents();
        if (m_ctx.arrangerMode()) {
            m_ctx.socket().bind(kArrangerPort);
            ui.lWAAddress.setCaption(m_ctx.socket().localIp());
        } else {
            m_ctx.socket().bind(kFighterPort);
        }
        m_ctx.doEvents();
        m_arranger.ShowOwnAddress();
        m_ctx.messages.warning(message);
    } catch (const RuntimeError& error) {
        if (error.number() == err::AddressInUse) {
            m_ctx.guard.portsInUse();
        }
        throw;
    }
}

void Link::ws_Error(int number, const std::string& description) {
    if (number == err::ConnectionReset) {
        rebindAfterReset("Connection reset occured");
        return;
    }
    m_ctx.messages.showBeforeEnd("Socket error occured:" + std::string(kLineBreak) + description,
                                 mb::Warning, "Error");
    m_ctx.lifecycle.end();
}

}  // namespace squadlink
