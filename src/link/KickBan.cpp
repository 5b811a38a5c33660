#include "link/KickBan.h"

#include "core/TextUtil.h"
#include "link/ArrangerSide.h"
#include "link/Codec.h"
#include "link/Roster.h"

namespace squadlink {

bool KickBan::requireSelection() {
    const auto& list = m_ctx.ui.lbFighters;
    if (list.empty() || list.selCount() == 0) {
        m_ctx.messages.warning("Select one or more Fighters first");
        return false;
    }
    return true;
}

void KickBan::coKick_Click() {
    if (!requireSelection()) {
        return;
    }
    const int answer =
        m_ctx.messages.ShowMessage("Are you sure you want to kick or ban selected Fighter(s)?",
                                   mb::YesNoInformationDefaultNo, "Kick or ban");
    if (answer == mb::No) {
        return;
    }
    m_ctx.arranger->guardRoster([&] {
        auto& list = m_ctx.ui.lbFighters;
        const std::string wire = codec::scramble(codec::build('4'));
        m_ctx.socket().setRemotePort(kFighterPort);
        // The selection is taken once: events that run after each send may change the roster.
        for (const auto& address : roster::addresses(list, true)) {
            const int index = roster::findByAddress(list, address);
            if (index < 0) {
                continue;
            }
            list.removeItem(index);
            m_ctx.socket().setRemoteHost(address);
            try {
                m_ctx.socket().sendData(wire);
            } catch (const RuntimeError& error) {
                if (error.number() != err::BadAddress && error.number() != err::HostUnreachable) {
                    throw;
                }
                continue;
            }
            m_ctx.doEvents();
        }
        m_ctx.attention.ShowConnectionLamp();
    });
}

void KickBan::storeBanned(const std::string& address) {
    if (m_bannedNext > kBannedSlots - 1) {
        m_bannedNext = 0;
        m_ctx.messages.ShowMessage(std::string("Banned IP addresses list full") + kLineBreak +
                                       "Starting to replace oldest entries with new ones",
                                   mb::Information, "Ban");
    }
    m_banned[static_cast<std::size_t>(m_bannedNext)] = address;
    ++m_bannedNext;
}

void KickBan::coBan_Click() {
    if (!requireSelection()) {
        return;
    }
    m_ctx.arranger->guardRoster([&] {
        for (const auto& address : roster::addresses(m_ctx.ui.lbFighters, true)) {
            storeBanned(address);
        }
    });
    coKick_Click();
}

void KickBan::clearBannedList() {
    for (auto& slot : m_banned) {
        slot.clear();
    }
    m_bannedNext = 0;
}

bool KickBan::refuseBanned(const std::string& sender) {
    if (m_bannedNext == 0) {
        return false;
    }
    for (const auto& slot : m_banned) {
        if (slot.size() < 3) {
            break;
        }
        if (equalsIgnoreCase(slot, sender)) {
            m_ctx.socket().setRemotePort(kFighterPort);
            m_ctx.socket().setRemoteHost(sender);
            m_ctx.socket().sendData(codec::scramble(codec::build('4')));
            m_ctx.doEvents();
            return true;
        }
    }
    return false;
}

int KickBan::rowAt(int x, int y) const {
    return m_ctx.ui.lbFighters.rowAt(x, y);
}

void KickBan::lbFighters_MouseDown(MouseButton button, int x, int y) {
    auto& list = m_ctx.ui.lbFighters;
    if (button != MouseButton::Right || list.empty()) {
        return;
    }
    const int row = rowAt(x, y);
    if (row < 0 || row >= list.listCount()) {
        list.selectNone();
        return;
    }
    if (!list.selected(row) && list.selCount() > 0) {
        list.selectNone();
    }
    list.setSelected(row, true);
    list.setFocus();
}

void KickBan::lbFighters_MouseUp(MouseButton button, int x, int y) {
    auto& ui = m_ctx.ui;
    const auto& list = ui.lbFighters;
    if (button != MouseButton::Right || list.empty()) {
        return;
    }
    const int row = rowAt(x, y);
    const bool onEntry = row >= 0 && row < list.listCount();
    ui.mKick.setVisible(onEntry);
    ui.mBan.setVisible(onEntry);
    ui.mKickBanSeparator.setVisible(onEntry);
    const int selected = list.selCount();
    const bool all = selected == list.listCount();
    const bool none = selected == 0;
    ui.mSelectAll.setVisible(!all);
    ui.mInvertSelection.setVisible(!all && !none);
    ui.mClearSelection.setVisible(!none);
    ui.mKickBan.popup();
}

void KickBan::mSelectAll_Click() {
    auto& list = m_ctx.ui.lbFighters;
    for (int i = 0; i < list.listCount(); ++i) {
        list.setSelected(i, true);
    }
}

void KickBan::mInvertSelection_Click() {
    auto& list = m_ctx.ui.lbFighters;
    for (int i = 0; i < list.listCount(); ++i) {
        list.setSelected(i, !list.selected(i));
    }
}

void KickBan::mClearSelection_Click() {
    m_ctx.ui.lbFighters.selectNone();
}

}  // namespace squadlink
