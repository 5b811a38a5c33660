#pragma once

#include <string>

#include "shell/model/Control.h"

namespace squadlink {

// A text box. Assigning a different text raises Change, as typing does. Keys pass through
// KeyPress, where a handler may swallow one by setting it to 0.
class TextBox : public Control {
public:
    using Control::Control;

    const std::string& text() const { return m_text; }
    void setText(std::string text) {
        if (text == m_text) {
            return;
        }
        m_text = std::move(text);
        m_selLength = 0;
        if (m_selStart > m_text.size()) {
            m_selStart = m_text.size();
        }
        changed.raise();
        Change.raise();
    }
    std::size_t maxLength() const { return m_maxLength; }
    void setMaxLength(std::size_t maxLength) {
        m_maxLength = maxLength;
        changed.raise();
    }
    std::size_t selStart() const { return m_selStart; }
    void setSelStart(std::size_t position) {
        m_selStart = position > m_text.size() ? m_text.size() : position;
        changed.raise();
    }
    void moveCaretToEnd() { setSelStart(m_text.size()); }
    // The selected characters from selStart(); the window reports the user's selection before
    // each key, since the clipboard keys act on it.
    std::size_t selLength() const { return m_selLength; }
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
