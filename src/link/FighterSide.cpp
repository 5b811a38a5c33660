#include "link/FighterSide.h"

#include <algorithm>

#include "core/TextUtil.h"
#include "link/ArrangerSide.h"
#include "link/Codec.h"
#include "link/FloodGuard.h"

namespace squadlink {

void FighterSide::EnterFighterMode(bool restoreAddress) {
    auto& ui = m_ctx.ui;
    try {
        m_ctx.arranger->ResetModeDisplay();
        if (restoreAddress) {
            ui.tServer.setText(m_ctx.settings.readText(key::Server));
            ui.tServer.moveCaretToEnd();
        }
        ui.lWAAddress.clear();
        ui.chAutoConnect.setEnabled(true);
        if (m_ctx.state.bFormReady && !ui.lbFighters.empty()) {
            m_ctx.arranger->CloseAllFighters(false, {});
        }
        m_ctx.socket().close();
        m_ctx.doEvents();
        m_ctx.socket().bind(kFighterPort);
        m_ctx.doEvents();
        m_ctx.state.sArrangerAddress.clear();
        m_joinAwaited = false;
        if (m_ctx.state.bFormReady) {
            ui.tGame.setHooked(false);
            ui.tPassword.setHooked(false);
        }
        ui.tServer.setHooked(true);
        m_ctx.attention.ShowConnectionLamp();
        m_ctx.arranger->ShowOwnAddress();
        ui.Tabek.setTabEnabled(tab::Fighter, true);
        ui.Tabek.setTabEnabled(tab::Connections, false);
        ui.Tabek.setTabEnabled(tab::Game, false);
        m_ctx.chat.InitChatView();
        m_entered = true;
        m_ctx.arranger->setEntered(false);
    } catch (const RuntimeError& error) {
        if (error.number() == err::AddressInUse) {
            m_ctx.guard.portsInUse();
        }
        throw;
    }
}

void FighterSide::coConnect_Click() {
    auto& ui = m_ctx.ui;
    auto& state = m_ctx.state;
    auto& messages = m_ctx.messages;
    if (state.sNick.empty()) {
        if (ui.tNick.text().empty()) {
            messages.warning("Specify your nick in Configuration tab first");
            return;
        }
        state.sNick = ui.tNick.text();
        m_ctx.settings.writeText(key::Nick, state.sNick);
    }
    const std::string address = ui.tServer.text();
    if (address.size() <= 2) {
        messages.warning("War Arranger address invalid or not specified");
        return;
    }
    if (equalsIgnoreCase(address, m_ctx.socket().localHostName()) ||
        equalsIgnoreCase(address, m_ctx.socket().localIp()) ||
        equalsIgnoreCase(address, "127.0.0.1") || equalsIgnoreCase(address, "localhost")) {
        messages.warning("Connecting to yourself not possible");
        return;
    }
    if (!m_ctx.flood->acquireLock()) {
        return;
    }
    try {
        if (state.sArrangerAddress.size() >= 3) {
            const int answer = messages.ShowMessage(
                std::string("Connecting to another War Arranger will close current connection") +
                    kLineBreak + "Are you sure you want to connect to another War Arranger?",
                mb::YesNoInformationDefaultNo, "Connection info");
            if (answer == mb::No) {
                return;
            }
            LeaveArranger();
        }
        m_ctx.socket().setRemoteHost(address);
        m_ctx.socket().setRemotePort(kArrangerPort);
        m_ctx.socket().sendData(codec::scramble(codec::build('1', {state.sNick})));
        m_joinSentAtMs = m_ctx.platform.clock.tickMs();
        m_joinAwaited = true;
        m_ctx.doEvents();
    } catch (const RuntimeError& error) {
        if (isSendFailure(error)) {
            state.sArrangerAddress.clear();
            messages.warning("Destination computer not reachable");
            return;
        }
        if (error.number() == err::TypeMismatch) {
            ui.tServer.setText({});
            return;
        }
        throw;
    }
}

void FighterSide::LeaveArranger() {
    try {
        m_ctx.socket().setRemoteHost(m_ctx.state.sArrangerAddress);
        m_ctx.socket().setRemotePort(kArrangerPort);
        m_ctx.socket().sendData(codec::scramble(codec::build('4')));
        m_ctx.doEvents();
        m_ctx.state.sArrangerAddress.clear();
    } catch (const RuntimeError& error) {
        if (!isSendFailure(error)) {
            throw;
        }
    }
}

void FighterSide::SendToArranger(std::string_view plainMessage) {
    try {
        m_ctx.socket().setRemoteHost(m_ctx.state.sArrangerAddress);
        m_ctx.socket().setRemotePort(kArrangerPort);
        m_ctx.socket().sendData(codec::scramble(plainMessage));
        m_ctx.doEvents();
    } catch (const RuntimeError& error) {
        if (!isSendFailure(error)) {
            throw;
        }
        m_ctx.state.sArrangerAddress.clear();
        m_ctx.messages.warning("Destination computer not reachable");
    }
}

bool FighterSide::ParseGameInfo(std::string_view text) {
    const auto first = text.find('\0');
    if (first == std::string_view::npos || first < 3) {
        return false;
    }
    const std::string_view address = text.substr(0, first);
    const std::string_view rest = text.substr(first + 1);
    if (rest.size() < 2 || rest[0] == '\0' || rest[1] != '\0') {
        return false;
    }
    // A password without its closing NUL was cut short on the way: none is better than a
    // wrong one.
    const std::string_view afterCode = rest.substr(2);
    const std::size_t end = afterCode.find('\0');
    const std::string_view password =
        end == std::string_view::npos ? std::string_view() : afterCode.substr(0, end);
    // An address or password outside the entry rules could put switches on the game's command
    // line or commands into the console text: such game info is not parsable.
    if (m_ctx.gameInfo == nullptr || !m_ctx.gameInfo->acceptsGameInfo(address, password)) {
        return false;
    }
    const std::string protection = m_ctx.gameInfo->protectionText(rest.substr(0, 1));
    auto& ui = m_ctx.ui;
    ui.lServer.setCaption(std::string(address));
    ui.lPassword.setCaption(std::string(password));
    ui.lProtection.setCaption(protection);
    ui.lClientPing.clear();
    m_ctx.state.nReportedPing = -1;
    return true;
}

bool FighterSide::fromArranger(const std::string& sender) const {
    const auto& address = m_ctx.state.sArrangerAddress;
    return address.size() >= 3 && equalsIgnoreCase(sender, address);
}

void FighterSide::clearGameLabels() {
    auto& ui = m_ctx.ui;
    ui.lServer.clear();
    ui.lPassword.clear();
    ui.lProtection.clear();
    ui.lClientPing.clear();
    m_ctx.state.nReportedPing = -1;
}

void FighterSide::feedback(const std::string& line) {
    if (m_ctx.ui.chFeedback.checked()) {
        m_ctx.messages.ShowMessage(line, mb::Information, "Connection info");
    }
}

void FighterSide::handleMessage(const std::string& message, const std::string& sender) {
    auto& ui = m_ctx.ui;
    auto& state = m_ctx.state;
    if (codec::hasCode(message, '1', 2, 58)) {
        // Only the answer to our own join: otherwise any host could take this Fighter over and
        // feed it game info. It may come from any of the War Arranger's addresses.
        if (joinAwaited()) {
            onAccepted(message, sender);
        }
        return;
    }
    if (codec::hasCode(message, 'D', 6, 18)) {
        onAddressChanged(message, sender);
        return;
    }
    if (!fromArranger(sender) || message.size() < 2) {
        return;
    }
    const std::string_view payload = std::string_view(message).substr(2);
    if (codec::hasCode(message, '2', 9, 58)) {
        if (!ParseGameInfo(payload)) {
            return;
        }
        ui.tServer.setText(state.sArrangerAddress);
        SendToArranger(codec::build('3'));
        m_ctx.chat.AddEventLine("New game info received from War Arranger");
        m_ctx.attention.RequestAttention(tab::Fighter, 103, false);
        feedback("New game info received from War Arranger");
    } else if (codec::isExactly(message, '3')) {
        ui.tServer.setText(state.sArrangerAddress);
        state.sArrangerAddress.clear();
        m_ctx.attention.ShowConnectionLamp();
        m_ctx.chat.AddEventLine("War Arranger closed connection");
        m_ctx.attention.RequestAttention(tab::Fighter, 104, false);
        feedback("War Arranger closed connection");
    } else if (codec::isExactly(message, '4')) {
        ui.tServer.setText(state.sArrangerAddress);
        state.sArrangerAddress.clear();
        clearGameLabels();
        m_ctx.attention.ShowConnectionLamp();
        m_ctx.chat.AddEventLine("You were kicked or banned");
        m_ctx.attention.RequestAttention(tab::Fighter, 104, false);
        feedback("You were kicked or banned");
    } else if (codec::isExactly(message, '5')) {
        ui.tServer.setText(state.sArrangerAddress);
        m_ctx.attention.RequestAttention(tab::Fighter, 105, false);
        m_ctx.messages.ShowMessage("Already connected to specified War Arranger", mb::Information,
                                   "Connection info");
    } else if (codec::isExactly(message, '6')) {
        ui.tServer.setText(state.sArrangerAddress);
        state.sArrangerAddress.clear();
        m_ctx.attention.ShowConnectionLamp();
        m_ctx.messages.ShowMessage("War Arranger connection slots are full", mb::Information,
                                   "Connection info");
    } else if (codec::isExactly(message, '7')) {
        ui.tServer.setText(state.sArrangerAddress);
        ui.tTimeout.stop();
        m_ctx.messages.ShowMessage("Your game ping was reported to War Arranger", mb::Information,
                                   "Send game ping");
    } else if (codec::isExactly(message, '8')) {
        ui.tServer.setText(state.sArrangerAddress);
        ui.tTimeout.stop();
        clearGameLabels();
        m_ctx.messages.ShowMessage(std::string("You have outdated game info") + kLineBreak +
                                       "Wait for War Arranger to send new game info",
                                   mb::Information, "Send game ping");
    } else if (codec::hasCode(message, '9', 2, kWhoAnswerWindow)) {
        ui.tServer.setText(state.sArrangerAddress);
        if (message.size() > 2) {
            m_ctx.chat.ShowChattersList(payload);
            showLeftOut(payload);
        } else {
            m_ctx.chat.AppendChatLine(true, {}, "No persons currently on chat", false,
                                      ChatLineKind::Notice);
        }
    } else if (codec::hasCode(message, 'A', 6, 283)) {
        ui.tServer.setText(state.sArrangerAddress);
        m_ctx.chat.ShowReceivedChat(payload, ChatLineKind::Action);
    } else if (codec::hasCode(message, 'B', 6, 283)) {
        ui.tServer.setText(state.sArrangerAddress);
        m_ctx.chat.ShowReceivedChat(payload, ChatLineKind::Normal);
    } else if (codec::hasCode(message, 'C', 6, 30)) {
        ui.tServer.setText(state.sArrangerAddress);
        m_ctx.chat.ShowReceivedChat(payload, ChatLineKind::ReflexScore);
    } else if (codec::isExactly(message, 'E')) {
        ui.tServer.setText(state.sArrangerAddress);
        ui.tTimeout.stop();
    }
}

void FighterSide::showLeftOut(std::string_view payload) {
    // A War Arranger keeping its answer short lists fewer persons than it counts.
    const std::size_t countEnd = payload.find('\0');
    if (countEnd == std::string_view::npos || countEnd == 0 || countEnd > 3) {
        return;
    }
    int count = 0;
    for (const char c : payload.substr(0, countEnd)) {
        if (c < '0' || c > '9') {
            return;
        }
        count = count * 10 + (c - '0');
    }
    const auto fields = static_cast<int>(std::count(payload.begin(), payload.end(), '\0'));
    const int listed = (fields - 1) / 2;
    if (count > listed) {
        m_ctx.chat.AppendChatLine(true, {}, std::to_string(count - listed) + " more not listed",
                                  false, ChatLineKind::Notice);
    }
}

bool FighterSide::joinAwaited() const {
    return m_joinAwaited && m_ctx.platform.clock.tickMs() - m_joinSentAtMs <= kJoinReplyWindowMs;
}

void FighterSide::onAccepted(const std::string& message, const std::string& sender) {
    auto& ui = m_ctx.ui;
    m_joinAwaited = false;
    m_ctx.state.sArrangerAddress = sender;
    ui.tServer.setText(sender);
    m_ctx.settings.writeText(key::Server, sender);
    clearGameLabels();
    m_ctx.attention.ShowConnectionLamp();
    m_ctx.chat.InitChatView();
    if (message.size() > 2 && ParseGameInfo(std::string_view(message).substr(2))) {
        m_ctx.chat.AddEventLine("Successfully connected and acquired game info");
        m_ctx.attention.RequestAttention(tab::Fighter, 103, false);
        feedback("Successfully connected and acquired game info");
    } else {
        m_ctx.chat.AddEventLine("Successfully connected to War Arranger");
        m_ctx.attention.RequestAttention(tab::Fighter, 102, false);
        feedback("Successfully connected to War Arranger");
    }
}

void FighterSide::onAddressChanged(const std::string& message, const std::string& sender) {
    auto& state = m_ctx.state;
    const std::string_view payload = std::string_view(message).substr(2);
    const std::string_view previous = payload.substr(0, payload.find('\0'));
    if (previous.size() < 3 || !equalsIgnoreCase(previous, state.sArrangerAddress)) {
        return;
    }
    m_ctx.ui.tServer.setText(sender);
    state.sArrangerAddress.clear();
    m_ctx.attention.ShowConnectionLamp();
    m_ctx.chat.AddEventLine("War Arranger closed connection");
    m_ctx.attention.RequestAttention(tab::Fighter, 104, false);
    const int answer = m_ctx.messages.ShowMessage(
        std::string("War Arranger closed connection due to IP address change") + kLineBreak +
            "Do you want to reconnect to new received IP address?",
        mb::YesNoInformation, "Connection info");
    if (answer != mb::No) {
        coConnect_Click();
    }
}

}  // namespace squadlink
