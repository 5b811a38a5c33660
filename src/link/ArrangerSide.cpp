#include "link/ArrangerSide.h"

#include "core/TextUtil.h"
#include "link/Codec.h"
#include "link/FighterSide.h"
#include "link/FloodGuard.h"
#include "link/KickBan.h"
#include "link/Roster.h"

namespace squadlink {

void ArrangerSide::ResetModeDisplay() {
    auto& ui = m_ctx.ui;
    ui.lUserIP.clear();
    ui.lCompName.clear();
    m_ctx.state.sNick.clear();
    ui.lServer.clear();
    ui.lPassword.clear();
    ui.lProtection.clear();
    ui.lClientPing.clear();
    ui.tGame.setText({});
    ui.lGameName.clear();
    ui.lGameSecure.clear();
    ui.lServerPing.clear();
    ui.lMapPlayers.clear();
    ui.lServerType.clear();
    ui.imgServerType.clear();
    ui.tPassword.setText({});
    m_ctx.state.nReportedPing = -1;
    m_ctx.flood->resetCount();
}

void ArrangerSide::ShowOwnAddress() {
    m_ctx.ui.lUserIP.setCaption("IP: " + m_ctx.socket().localIp());
    m_ctx.ui.lCompName.setCaption("Computer name: " + m_ctx.socket().localHostName());
}

void ArrangerSide::EnterArrangerMode(bool keepSocket) {
    auto& ui = m_ctx.ui;
    auto& state = m_ctx.state;
    try {
        ResetModeDisplay();
        ui.tGame.setText(m_ctx.settings.readText(key::Game));
        ui.tGame.moveCaretToEnd();
        if (ui.tNick.text().empty()) {
            ui.tNick.setText("War Arranger");
        }
        state.sNick = ui.tNick.text();
        m_ctx.settings.writeText(key::Nick, state.sNick);
        ui.tServer.setText({});
        ui.lbFighters.clear();
        ui.chAutoConnect.setEnabled(false);
        if (!keepSocket) {
            if (state.sArrangerAddress.size() > 2 && state.bFormReady) {
                m_ctx.fighter->LeaveArranger();
            }
            m_ctx.socket().close();
            m_ctx.doEvents();
            m_ctx.socket().bind(kArrangerPort);
            m_ctx.doEvents();
        }
        state.sArrangerAddress.clear();
        // The address boxes of this mode take the program's own right-click paste.
        if (state.bFormReady) {
            ui.tServer.setHooked(false);
        }
        ui.tGame.setHooked(true);
        ui.tPassword.setHooked(true);
        ui.lWAAddress.setCaption(m_ctx.socket().localIp());
        m_ctx.attention.ShowConnectionLamp();
        ShowOwnAddress();
        m_ctx.kickBan->clearBannedList();
        ui.Tabek.setTabEnabled(tab::Fighter, false);
        ui.Tabek.setTabEnabled(tab::Connections, true);
        ui.Tabek.setTabEnabled(tab::Game, true);
        m_ctx.chat.InitChatView();
        m_entered = true;
        m_ctx.fighter->setEntered(false);
    } catch (const RuntimeError& error) {
        if (error.number() == err::AddressInUse) {
            m_ctx.guard.portsInUse();
        }
        throw;
    }
}

void ArrangerSide::resetAfterInvalidIndex() {
    EnterArrangerMode(false);
    m_ctx.messages.warning("Resetting Squadlink to avoid critical error");
}

void ArrangerSide::guardRoster(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& error) {
        if (error.number() != err::InvalidPropertyArrayIndex) {
            throw;
        }
        resetAfterInvalidIndex();
    }
}

bool ArrangerSide::gameInfoKnown() const {
    return m_ctx.gameInfo != nullptr && m_ctx.gameInfo->gameInfoKnown();
}

std::string ArrangerSide::protectionCode() const {
    return m_ctx.gameInfo != nullptr ? m_ctx.gameInfo->protectionCode() : std::string();
}

void ArrangerSide::CloseAllFighters(bool quiet, std::string_view previousAddress) {
    auto& list = m_ctx.ui.lbFighters;
    const std::string message =
        previousAddress.size() > 2 ? codec::build('D', {previousAddress}) : codec::build('3');
    const std::string wire = codec::scramble(message);
    try {
        m_ctx.socket().setRemotePort(kFighterPort);
        for (int i = 0; i < list.listCount(); ++i) {
            m_ctx.socket().setRemoteHost(roster::address(list.list(i)));
            try {
                m_ctx.socket().sendData(wire);
            } catch (const RuntimeError& error) {
                if (!isSendFailure(error)) {
                    throw;
                }
            }
        }
        list.clear();
    } catch (const RuntimeError& error) {
        if (error.number() != err::InvalidPropertyArrayIndex) {
            throw;
        }
        list.clear();
        if (!quiet) {
            m_ctx.messages.warning("Resetting Squadlink to avoid critical error");
        }
    }
}

bool ArrangerSide::sendOrDrop(const std::string& address, const std::string& wire) {
    m_ctx.socket().setRemoteHost(address);
    try {
        m_ctx.socket().sendData(wire);
        return true;
    } catch (const RuntimeError& error) {
        if (!isSendFailure(error)) {
            throw;
        }
    }
    auto& list = m_ctx.ui.lbFighters;
    const int index = roster::findByAddress(list, address);
    if (index >= 0) {
        list.removeItem(index);
    }
    return false;
}

void ArrangerSide::BroadcastToFighters(std::string_view exceptAddress,
                                       std::string_view plainMessage) {
    auto& list = m_ctx.ui.lbFighters;
    if (list.empty()) {
        return;
    }
    const std::string wire = codec::scramble(plainMessage);
    m_ctx.socket().setRemotePort(kFighterPort);
    // The roster may change while events run after each send, so walk a snapshot of the
    // addresses and look each one up again: every Fighter still present gets the message
    // exactly once, whatever joined or left in between.
    for (const auto& address : roster::addresses(list)) {
        if (!exceptAddress.empty() && equalsIgnoreCase(address, exceptAddress)) {
            continue;
        }
        if (roster::findByAddress(list, address) < 0) {
            continue;
        }
        if (sendOrDrop(address, wire)) {
            m_ctx.doEvents();
        }
    }
}

void ArrangerSide::coSendInfo_Click() {
    auto& ui = m_ctx.ui;
    auto& messages = m_ctx.messages;
    if (!gameInfoKnown()) {
        messages.warning(std::string("Game info in unknown") + kLineBreak +
                         "Scan the game server first");
        return;
    }
    if (ui.lbFighters.empty()) {
        messages.warning("No Fighters connected yet");
        return;
    }
    if (!m_ctx.flood->acquireLock()) {
        return;
    }
    if (ui.tPassword.text().empty()) {
        const int answer =
            messages.ShowMessage(std::string("Game server password not specified") + kLineBreak +
                                     "Do you want to send game info anyway?",
                                 mb::YesNoInformationDefaultNo, "Send game info");
        if (answer == mb::No) {
            return;
        }
    }
    const std::string code = protectionCode();
    messages.ShowMessage("Sending game info to connected Fighter(s)", mb::Information,
                         "Send game info");
    guardRoster([&] {
        auto& list = ui.lbFighters;
        const std::string wire =
            codec::scramble(codec::build('2', {ui.tGame.text(), code, ui.tPassword.text()}));
        m_ctx.socket().setRemotePort(kFighterPort);
        for (const auto& address : roster::addresses(list)) {
            const int index = roster::findByAddress(list, address);
            if (index < 0) {
                continue;
            }
            list.setItemData(index, 0);
            if (sendOrDrop(address, wire)) {
                m_ctx.doEvents();
            }
        }
        ui.tTimeout.restart();
    });
}

void ArrangerSide::coRefresh_Click() {
    const int answer = m_ctx.messages.ShowMessage(
        std::string("Refreshing IP address will close current connections if your IP address "
                    "changes") +
            kLineBreak + "Are you sure you want to refresh your IP address?",
        mb::YesNoInformationDefaultNo, "Refresh IP address");
    if (answer == mb::No) {
        return;
    }
    try {
        const std::string previous = m_ctx.socket().localIp();
        m_ctx.socket().close();
        m_ctx.doEvents();
        m_ctx.socket().bind(kArrangerPort);
        m_ctx.doEvents();
        const std::string current = m_ctx.socket().localIp();
        if (current != previous) {
            if (!m_ctx.ui.lbFighters.empty()) {
                CloseAllFighters(false, previous);
            }
            EnterArrangerMode(true);
        }
    } catch (const RuntimeError& error) {
        if (error.number() == err::AddressInUse) {
            m_ctx.guard.portsInUse();
        }
        throw;
    }
}

void ArrangerSide::reply(const std::string& sender, std::string_view plainMessage) {
    m_ctx.socket().setRemoteHost(sender);
    m_ctx.socket().setRemotePort(kFighterPort);
    m_ctx.socket().sendData(codec::scramble(plainMessage));
}

void ArrangerSide::handleMessage(const std::string& message, const std::string& sender) {
    auto& list = m_ctx.ui.lbFighters;
    if (codec::hasCode(message, '1', 4, 26)) {
        onJoin(message, sender);
        return;
    }
    const int index = roster::findByAddress(list, sender);
    if (index < 0) {
        return;
    }
    if (codec::hasCode(message, '2', 8, 42)) {
        onPingReport(message, sender, index);
    } else if (codec::isExactly(message, '3')) {
        list.setItemData(index, 1);
    } else if (codec::isExactly(message, '4')) {
        onLeave(sender, index);
    } else if (codec::isExactly(message, '5')) {
        onWho(sender);
    } else if (codec::hasCode(message, '6', 4, 259)) {
        onChat(message, sender, index, 'A');
    } else if (codec::hasCode(message, '7', 4, 259)) {
        onChat(message, sender, index, 'B');
    } else if (codec::hasCode(message, '8', 4, 6)) {
        onChat(message, sender, index, 'C');
    }
}

void ArrangerSide::onJoin(const std::string& message, const std::string& sender) {
    auto& list = m_ctx.ui.lbFighters;
    if (roster::findByAddress(list, sender) >= 0) {
        reply(sender, codec::build('5'));
        return;
    }
    if (list.listCount() > roster::kMaxFighters - 1) {
        reply(sender, codec::build('6'));
        return;
    }
    bool terminated = false;
    std::string nick(codec::fieldAt(message, 2, terminated));
    if (!terminated || nick.empty()) {
        return;
    }
    // A TAB in a nick would shift the roster's columns and make the address unreadable.
    for (char& c : nick) {
        if (c == '\t') {
            c = ' ';
        }
    }
    const std::string text = roster::entry(nick, sender);
    int index = roster::findByNick(list, nick);
    const bool replaced = index >= 0;
    if (replaced) {
        list.setList(index, text);
    } else {
        index = list.addItem(text);
        list.setItemData(index, 0);
    }
    list.selectNone();
    list.setSelected(index, true);
    m_ctx.attention.ShowConnectionLamp();
    m_ctx.chat.AddEventLine(nick + " (IP: " + sender +
                            (replaced ? ") reconnected" : ") connected"));
    if (gameInfoKnown()) {
        reply(sender, codec::build('1', {m_ctx.ui.tGame.text(), protectionCode(),
                                         m_ctx.ui.tPassword.text()}));
    } else {
        reply(sender, codec::build('1'));
    }
    m_ctx.doEvents();
    m_ctx.attention.RequestAttention(tab::Connections, 102, false);
}

void ArrangerSide::onPingReport(const std::string& message, const std::string& sender, int index) {
    auto& list = m_ctx.ui.lbFighters;
    if (!equalsIgnoreCase(codec::pingReportAddress(message), m_ctx.ui.tGame.text())) {
        reply(sender, codec::build('8'));
        return;
    }
    bool terminated = false;
    const std::string_view ping = codec::fieldAt(message, 2, terminated);
    if (!terminated || ping.empty()) {
        return;
    }
    const std::string text = std::string(roster::head(list.list(index))) + roster::pingColumn(ping);
    list.setList(index, text);
    list.selectNone();
    list.setSelected(index, true);
    reply(sender, codec::build('7'));
    m_ctx.doEvents();
    m_ctx.attention.RequestAttention(tab::Connections, 103, false);
}

void ArrangerSide::onLeave(const std::string& sender, int index) {
    auto& list = m_ctx.ui.lbFighters;
    const std::string nick(roster::nick(list.list(index)));
    list.removeItem(index);
    m_ctx.attention.ShowConnectionLamp();
    const std::string line = nick + " (IP: " + sender + ") left the server";
    m_ctx.chat.AddEventLine(line);
    m_ctx.attention.RequestAttention(tab::Connections, 104, false);
    if (m_ctx.ui.chFeedback.checked()) {
        m_ctx.messages.ShowMessage(line, mb::Information, "Connection info");
    }
}

void ArrangerSide::onWho(const std::string& sender) {
    const auto& list = m_ctx.ui.lbFighters;
    if (list.empty()) {
        reply(sender, codec::build('9'));
        return;
    }
    // Fighters take a who answer of at most 380 characters and show nothing for a longer one;
    // with ten long nicks the whole list does not fit. The count stays the true number of
    // persons, so the receiver can tell how many were left out.
    std::string answer = codec::build('9', {std::to_string(list.listCount() + 1)});
    std::string own = m_ctx.state.sNick;
    own.push_back('\0');
    own.append(m_ctx.socket().localIp()).push_back('\0');
    for (int i = 0; i < list.listCount(); ++i) {
        const std::string_view text = list.list(i);
        std::string person(roster::nick(text));
        person.push_back('\0');
        person.append(roster::address(text)).push_back('\0');
        if (answer.size() + person.size() + own.size() > kWhoAnswerLimit) {
            continue;
        }
        answer.append(person);
    }
    answer.append(own);
    reply(sender, answer);
}

void ArrangerSide::onChat(const std::string& message, const std::string& sender, int index,
                          char relayCode) {
    const std::string text(codec::chatText(message));
    const std::string nick(roster::nick(m_ctx.ui.lbFighters.list(index)));
    switch (relayCode) {
        case 'A':
            m_ctx.chat.AddChatMessage(nick, text, ChatLineKind::Action);
            break;
        case 'B':
            m_ctx.chat.AddChatMessage(nick, text, ChatLineKind::Normal);
            break;
        default:
            m_ctx.chat.AppendChatLine(true, nick, text, false, ChatLineKind::ReflexScore);
            break;
    }
    m_ctx.attention.NotifyChatMessage();
    reply(sender, codec::build('E'));
    m_ctx.doEvents();
    BroadcastToFighters(sender, codec::build(relayCode, {nick, text}));
}

}  // namespace squadlink
