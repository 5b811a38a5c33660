#include "link/FloodGuard.h"

#include "link/ArrangerSide.h"
#include "link/Roster.h"

namespace squadlink {

void FloodGuard::countDatagram() {
    if (m_datagramCount < 0xFFFF) {
        ++m_datagramCount;
    }
    if (m_datagramCount <= kDatagramLimit) {
        return;
    }
    m_ctx.socket().close();
    m_ctx.doEvents();
    m_ctx.messages.showBeforeEnd(std::string("Received data packets rate limit reached") +
                                     kLineBreak +
                                     "Closing Squadlink to protect from possible DoS attack",
                                 mb::Warning, "Warning");
    m_ctx.lifecycle.unloadAndEnd();
}

bool FloodGuard::acquireLock() {
    if (m_ctx.ui.tFlood.running()) {
        m_ctx.messages.warning("Action canceled by flood protection");
        return false;
    }
    m_ctx.ui.tFlood.restart();
    return true;
}

void FloodGuard::tFlood_Timer() {
    m_ctx.ui.tFlood.stop();
}

void FloodGuard::tTimeout_Timer() {
    auto& ui = m_ctx.ui;
    ui.tTimeout.stop();
    if (m_ctx.arrangerMode()) {
        m_ctx.arranger->guardRoster([&] {
            auto& list = ui.lbFighters;
            std::vector<std::string> removed;
            for (int i = 0; i < list.listCount();) {
                if (list.itemData(i) == 0) {
                    const std::string text = list.list(i);
                    removed.push_back(std::string(roster::nick(text)) +
                                      " (IP: " + std::string(roster::address(text)) + ")");
                    list.removeItem(i);
                } else {
                    ++i;
                }
            }
            if (removed.empty()) {
                return;
            }
            m_ctx.attention.ShowConnectionLamp();
            std::string joined;
            std::string lines;
            for (const auto& line : removed) {
                joined.append(joined.empty() ? "" : ", ").append(line);
                lines.append(kLineBreak).append(line);
            }
            m_ctx.chat.AddEventLine("Following Fighter(s) timed out: " + joined);
            m_ctx.attention.RequestAttention(tab::Connections, 104, false);
            if (ui.chFeedback.checked()) {
                m_ctx.messages.ShowMessage(
                    std::string("Following Fighter(s) timed out:") + kLineBreak + lines,
                    mb::Information, "Connection info");
            }
        });
    } else if (m_ctx.fighterMode()) {
        m_ctx.state.sArrangerAddress.clear();
        m_ctx.attention.ShowConnectionLamp();
        m_ctx.chat.AddEventLine("War Arranger timed out");
        m_ctx.attention.RequestAttention(tab::Fighter, 104, false);
        m_ctx.messages.ShowMessage("War Arranger timed out", mb::Information, "Connection info");
    }
}

}  // namespace squadlink
