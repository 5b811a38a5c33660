#pragma once

#include <string>

#include "core/model/Control.h"

namespace squadlink {

// A text box. Assigning a different text raises Change, as typing does. Keys pass through
// KeyPress, where a handler may swallow one by setting it to 0. The length limit holds for
// every text, however it arrives (typed, stored, from a link), so that what the logic sends
// and stores is what the box shows.
class TextBox : public Control {
public:
    using Control::Control;

    const std::string& text() const { return m_text; }
    void setText(std::string text) {
        if (m_maxLength != 0 && text.size() > m_maxLength) {
            text.resize(m_maxLength);
        }
        if (text == m_text) {
            return;
        }
        m_text = std::move(text);
        m_selLength = 0;
        if (m_selStart > m_text.size()) {
            m_selStart = m_text.size();
        }
        m_selLength = 0;
        changed.raise();
        Change.raise();
    }
    std::size_t maxLength() const { return m_maxLength; }
    void setMaxLength(std::size_t maxLength) {
        m_maxLength = maxLength;
        changed.raise();
        if (m_maxLength != 0 && m_text.size() > m_maxLength) {
            setText(m_text);
        }
    }
    std::size_t selStart() const { return m_selStart; }
    void setSelStart(std::size_t position) {
        m_selStart = position > m_text.size() ? m_text.size() : position;
        m_selLength = 0;
        changed.raise();
    }
    void moveCaretToEnd() { setSelStart(m_text.size()); }
    // The selection: from selStart, selLength characters (0: only a caret).
    std::size_t selLength() const { return m_selLength; }
    void setSelection(std::size_t start, std::size_t length) {
        m_selStart = start > m_text.size() ? m_text.size() : start;
        m_selLength = length > m_text.size() - m_selStart ? m_text.size() - m_selStart : length;
        changed.raise();
    }
    std::string selectedText() const { return m_text.substr(m_selStart, m_selLength); }
    // The user's selection as the window reports it before each key (the clipboard keys act on
    // it); unlike setSelection it does not refresh the widget it came from.
    void noteSelection(std::size_t start, std::size_t length) {
        m_selStart = start > m_text.size() ? m_text.size() : start;
        m_selLength = length > m_text.size() - m_selStart ? m_text.size() - m_selStart : length;
    }

    // Entry points for the window: a typed character (Windows-1252 code) and focus changes.
    int keyPress(int keyAscii) {
        KeyPress.raise(keyAscii);
        return keyAscii;
    }
    void lostFocus() { LostFocus.raise(); }
    // A key going down, before any KeyPress: Windows virtual-key code and the shift state
    // (1 Shift, 2 Ctrl, 4 Alt). A handler may set the code to 0 to keep the box from acting on
    // a key that types no character (Delete, arrows).
    int keyDown(int keyCode, int shift) {
        KeyDown.raise(keyCode, shift);
        return keyCode;
    }
    // While hooked, a right-button release runs RightClick instead of the box's own menu; a
    // box nobody handles the right button for keeps its menu, so paste is never lost.
    bool hooked() const { return m_hooked; }
    void setHooked(bool hooked) { m_hooked = hooked; }
    bool takesRightClick() const { return m_hooked && RightClick.connected(); }
    void rightClick() { RightClick.raise(); }

    Event<> Change;
    Event<int&> KeyPress;
    Event<int&, int> KeyDown;
    Event<> LostFocus;
    Event<> RightClick;

private:
    std::string m_text;
    std::size_t m_maxLength = 0;  // 0: no limit
    std::size_t m_selStart = 0;
    std::size_t m_selLength = 0;
    bool m_hooked = false;
};

}  // namespace squadlink
