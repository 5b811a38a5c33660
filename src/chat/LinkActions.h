#pragma once

#include <string>
#include <string_view>

#include "chat/ChatContext.h"
#include "chat/ClipboardSteps.h"
#include "core/model/ListBox.h"

namespace squadlink {

// The mouse in the chat view: the hand over a link, opening and copying the link, a selection
// copied as soon as the button is released; and the right-button rule of the input boxes.
// Coordinates are the view's pixels.
class LinkActions {
public:
    // The point is moved this far right before the character under it is looked up.
    static constexpr int kHitShift = 4;
    static constexpr std::size_t kMinLink = 7;

    explicit LinkActions(ChatContext& ctx) : m_ctx(ctx), m_clipboard(ctx) {}

    std::string WordAtPoint(int x, int y) const;
    // The word rule on a text and a character index (from 0) as the view reports it.
    static std::string wordAt(std::string_view text, int c);

    void rtb_MouseMove(int x, int y);
    void rtb_MouseUp(MouseButton button);
    void rtb_DblClick();
    void rtb_Click();
    void mOpenLink_Click();
    void mCopyLink_Click();
    void HandleRightClick(TextBox& box);
    // Back to the arrow (the view was cleared under the pointer).
    void resetPointer();

    const std::string& sHoverLink() const { return m_hoverLink; }
    bool handPointer() const { return m_hand; }

private:
    bool overLink() const { return m_hand && m_hoverLink.size() >= kMinLink; }

    ChatContext& m_ctx;
    ClipboardSteps m_clipboard;
    std::string m_hoverLink;
    bool m_hand = false;
};

}  // namespace squadlink
