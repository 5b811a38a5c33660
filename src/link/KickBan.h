#pragma once

#include <string>

#include "link/LinkContext.h"
#include "shell/model/ListBox.h"

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
};

}  // namespace squadlink
