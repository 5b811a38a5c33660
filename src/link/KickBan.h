#pragma once

#include <array>
#include <string>

#include "core/model/ListBox.h"
#include "link/LinkContext.h"

namespace squadlink {

// Kick and ban of selected Fighters, the banned list, and the roster's right-click menu.
class KickBan {
public:
    static constexpr int kBannedSlots = 20;

    explicit KickBan(LinkContext& context) : m_ctx(context) {}

    void coKick_Click();
    void coBan_Click();
    void clearBannedList();
    // Answers a banned sender with "4"; true when the datagram must not be handled further.
    bool refuseBanned(const std::string& sender);
    // Addresses refused for as long as the mode lasts, and the slot the next ban takes.
    const std::array<std::string, kBannedSlots>& bannedAddresses() const { return m_banned; }
    int bannedNext() const { return m_bannedNext; }

    void lbFighters_MouseDown(MouseButton button, int x, int y);
    void lbFighters_MouseUp(MouseButton button, int x, int y);
    void mSelectAll_Click();
    void mInvertSelection_Click();
    void mClearSelection_Click();

private:
    bool requireSelection();
    void storeBanned(const std::string& address);
    int rowAt(int x, int y) const;

    LinkContext& m_ctx;
    std::array<std::string, kBannedSlots> m_banned;
    int m_bannedNext = 0;
};

}  // namespace squadlink
