#include "chat/LinkActions.h"

#include "chat/ChatMarkup.h"
#include "chat/RichChatView.h"

namespace squadlink {

std::string LinkActions::wordAt(std::string_view s, int c) {
    const int length = static_cast<int>(s.size());
    if (c < 1 || c > length - 1) {
        return {};
    }
    // From here positions count from 1: position c is the character just before the point.
    auto at = [&s](int position) { return s[static_cast<std::size_t>(position - 1)]; };
    int start = 1;
    for (int p = c; p >= 1; --p) {
        const char ch = at(p);
        if (ch == ' ' || ch == '\n' || ch == '\t') {
            start = p + 1;
            break;
        }
    }
    if (start > c) {
        return {};
    }
    int end = length;
    for (int p = c; p <= length; ++p) {
        const char ch = at(p);
        // Our lines end in LF alone, so LF ends a word as CR does.
        if (ch == '\r' || ch == '\n' || ch == ' ' || ch == '\t') {
            end = p == c ? length : p - 1;
            break;
        }
    }
    if (end - start < 6) {
        return {};
    }
    return std::string(
        s.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(end - start + 1)));
}

std::string LinkActions::WordAtPoint(int x, int y) const {
    const ChatDocument& doc = m_ctx.view.document();
    const int c = doc.characterIndexAt(x + kHitShift, y);
    if (c < 1) {
        return {};
    }
    return wordAt(doc.plainText(), c);
}

void LinkActions::rtb_MouseMove(int x, int y) {
    const std::string word = WordAtPoint(x, y);
    const bool link = word.size() >= kMinLink && chatmarkup::startsWithLinkScheme(word);
    m_hoverLink = link ? word : std::string();
    if (m_hand != link) {
        m_hand = link;
        m_ctx.view.document().setHandPointer(link);
    }
}

void LinkActions::resetPointer() {
    m_hand = false;
    m_ctx.view.document().setHandPointer(false);
}

void LinkActions::rtb_DblClick() {
    mOpenLink_Click();
}

void LinkActions::mOpenLink_Click() {
    if (!overLink()) {
        return;
    }
    // What the desktop does with the link is its own affair; a "sqd://" link comes back to
    // this copy through the hand-over.
    m_ctx.platform.desktop.openUrl(m_hoverLink);
}

void LinkActions::mCopyLink_Click() {
    if (!overLink()) {
        return;
    }
    m_clipboard.copyAsking(m_hoverLink);
}

void LinkActions::rtb_MouseUp(MouseButton button) {
    if (button == MouseButton::Right) {
        if (m_hoverLink.size() >= kMinLink) {
            m_ctx.ui.mLinkMenu.popup();
        }
        return;
    }
    if (button != MouseButton::Left) {
        return;
    }
    ChatDocument& doc = m_ctx.view.document();
    const std::string selected = doc.selectedText();
    if (selected.empty()) {
        return;
    }
    if (!m_clipboard.copyAsking(selected)) {
        return;
    }
    doc.collapseSelectionToEnd();
    m_ctx.ui.tChat.setFocus();
}

void LinkActions::rtb_Click() {
    m_ctx.ui.tChat.setFocus();
}

void LinkActions::HandleRightClick(TextBox& box) {
    const std::string old = box.text();
    if (!old.empty()) {
        box.setText({});
    }
    box.keyDown('V', 2);
    if (!old.empty() && box.text().empty()) {
        box.setText(old);
        box.moveCaretToEnd();
    }
}

}  // namespace squadlink
