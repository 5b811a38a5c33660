#include "chat/ChatInput.h"

#include "chat/RichChatView.h"
#include "core/TextUtil.h"

namespace squadlink {

namespace {

constexpr int kEscape = 27;
constexpr int kEnter = 13;
constexpr int kUp = 38;
constexpr int kDown = 40;
constexpr int kSpace = 32;
constexpr int kCtrlOnly = 2;

std::string message(char code, std::initializer_list<std::string_view> fields) {
    std::string out(1, code);
    out.push_back('\0');
    for (const std::string_view field : fields) {
        out.append(field).push_back('\0');
    }
    return out;
}

bool isOneOf(std::string_view line, std::string_view a, std::string_view b) {
    return equalsIgnoreCase(line, a) || equalsIgnoreCase(line, b);
}

}  // namespace

void ChatInput::resetHistory() {
    m_history.fill({});
    m_historyPos = -1;
    m_browsing = false;
}

void ChatInput::tChat_KeyPress(int& keyAscii) {
    // Enter, Escape, Tab and the control characters of the clipboard keys never reach the box.
    if (keyAscii < 32 && keyAscii != 8) {
        keyAscii = 0;
    }
}

void ChatInput::tChat_Change() {
    TextBox& box = m_ctx.ui.tChat;
    const std::string& text = box.text();
    if (text.empty()) {
        return;
    }
    const bool cut = text.size() > kMaxLength;
    const std::string kept = cut ? text.substr(0, kMaxLength) : text;
    for (const char c : kept) {
        if (static_cast<unsigned char>(c) < 32) {
            box.setText({});
            return;
        }
    }
    if (cut) {
        box.setText(kept);
    }
}

void ChatInput::tChat_KeyDown(int& keyCode, int shift) {
    TextBox& box = m_ctx.ui.tChat;
    switch (keyCode) {
        case kEscape:
            m_browsing = false;
            box.setText({});
            return;
        case kEnter:
            enter();
            return;
        case kUp:
            m_browsing = true;
            m_historyPos =
                m_historyPos + 1 > kHistorySize - 1 ? kHistorySize - 1 : m_historyPos + 1;
            if (m_history[static_cast<std::size_t>(m_historyPos)].empty() && m_historyPos > 0) {
                --m_historyPos;
            }
            showEntry();
            keyCode = 0;
            return;
        case kDown:
            m_browsing = true;
            --m_historyPos;
            if (m_historyPos < 0) {
                m_historyPos = -1;
                box.setText({});
            } else {
                showEntry();
            }
            return;
        default:
            break;
    }
    // A blank typed at either end leaves the recalled line as it was once trimmed.
    if (m_browsing && keyCode != kSpace) {
        m_browsing = false;
    }
    if (shift == kCtrlOnly) {
        clipboardKey(keyCode);
    }
}

void ChatInput::showEntry() {
    TextBox& box = m_ctx.ui.tChat;
    box.setText(m_history[static_cast<std::size_t>(m_historyPos)]);
    box.moveCaretToEnd();
}

void ChatInput::clipboardKey(int keyCode) {
    if (keyCode != 'V' && keyCode != 'C' && keyCode != 'X') {
        return;
    }
    TextBox& box = m_ctx.ui.tChat;
    Clipboard& board = m_ctx.platform.clipboard;
    std::string clip;
    if (!m_clipboard.askingStep([&] { clip = board.text(); }) || clip.empty()) {
        return;
    }
    if (keyCode == 'V') {
        std::string pasted;
        pasted.reserve(clip.size());
        for (std::size_t i = 0; i < clip.size(); ++i) {
            if (clip[i] == '\r' && i + 1 < clip.size() && clip[i + 1] == '\n') {
                ++i;
                continue;
            }
            pasted.push_back(clip[i]);
        }
        if (pasted.size() > kMaxLength) {
            pasted.resize(kMaxLength);
        }
        if (pasted.empty()) {
            return;
        }
        std::string spaced;
        for (const char c : pasted) {
            if (c == '\t') {
                spaced.append(5, ' ');
            } else {
                spaced.push_back(c);
            }
        }
        const std::string& text = box.text();
        const std::size_t start = box.selStart();
        const std::size_t end = start + box.selLength();
        const std::string next = text.substr(0, start) + spaced + text.substr(end);
        const std::size_t caret = start + spaced.size();
        box.setText(next);
        box.setSelStart(caret);
        return;
    }
    const std::string selected = box.selectedText();
    if (selected.empty()) {
        return;
    }
    if (!m_clipboard.copyAsking(selected)) {
        return;
    }
    if (keyCode == 'X') {
        const std::string& text = box.text();
        const std::size_t start = box.selStart();
        const std::string next = text.substr(0, start) + text.substr(start + box.selLength());
        box.setText(next);
        box.setSelStart(start);
    }
}

void ChatInput::enter() {
    Timer& flood = m_ctx.ui.tFlood;
    if (flood.running()) {
        m_ctx.messages.ShowMessage("Action canceled by flood protection", mb::Warning, "Warning");
        return;
    }
    // The lock is armed before the text is looked at, so an empty Enter arms it too.
    flood.restart();
    const std::string line = trimBlanks(m_ctx.ui.tChat.text());
    if (line.empty()) {
        return;
    }
    m_ctx.ui.tChat.setText({});
    m_historyPos = -1;
    rememberLine(line);
    ProcessChatLine(line);
}

void ChatInput::rememberLine(const std::string& line) {
    if (!m_browsing) {
        for (int i = kHistorySize - 1; i > 0; --i) {
            m_history[static_cast<std::size_t>(i)] =
                std::move(m_history[static_cast<std::size_t>(i - 1)]);
        }
        m_history[0] = line;
        return;
    }
    // A recalled line sent again moves to the front; entry 0 is never compared, so sending
    // the newest line again leaves the history as it is.
    for (int i = 1; i < kHistorySize; ++i) {
        const std::string& entry = m_history[static_cast<std::size_t>(i)];
        if (entry.empty()) {
            return;
        }
        if (equalsIgnoreCase(entry, line)) {
            for (int j = i; j > 0; --j) {
                m_history[static_cast<std::size_t>(j)] =
                    std::move(m_history[static_cast<std::size_t>(j - 1)]);
            }
            m_history[0] = line;
            return;
        }
    }
}

void ChatInput::ProcessChatLine(const std::string& line) {
    RichChatView& view = m_ctx.view;
    const bool arranger = m_ctx.arrangerMode();
    if (isOneOf(line, "/clear", "/c")) {
        view.ClearChatView();
        view.notice("Chat screen cleared");
        return;
    }
    if (isOneOf(line, "/help", "/h")) {
        view.ShowHelpPanel();
        return;
    }
    if (isOneOf(line, "/smiley", "/s")) {
        view.ShowSmileyPanel();
        return;
    }
    if (isOneOf(line, "/who", "/w")) {
        if (arranger) {
            view.ListChattersLocal();
        } else if (!m_ctx.fighterConnected()) {
            view.notice("Not connected to War Arranger");
        } else {
            m_ctx.link().SendToArranger(message('5', {}));
        }
        return;
    }
    if (arranger && m_ctx.ui.lbFighters.empty()) {
        view.notice("No Fighters connected yet");
        return;
    }
    if (!arranger && !m_ctx.fighterConnected()) {
        view.notice("Not connected to War Arranger");
        return;
    }
    const std::string& nick = m_ctx.state.sNick;
    if (line.size() > 4 && equalsIgnoreCase(std::string_view(line).substr(0, 4), "/me ")) {
        const std::string action = trimBlanks(std::string_view(line).substr(4));
        view.AddChatMessage(nick, action, ChatLineKind::Action);
        if (arranger) {
            m_ctx.link().BroadcastToFighters({}, message('A', {nick, action}));
        } else {
            // The War Arranger acknowledges a Fighter's line; without it the link times out.
            // The wait starts before the send: the acknowledgement may arrive while the send
            // lets events run.
            m_ctx.ui.tTimeout.restart();
            m_ctx.link().SendToArranger(message('6', {action}));
        }
        return;
    }
    view.AddChatMessage(nick, line, ChatLineKind::Normal);
    if (arranger) {
        m_ctx.link().BroadcastToFighters({}, message('B', {nick, line}));
    } else {
        m_ctx.ui.tTimeout.restart();
        m_ctx.link().SendToArranger(message('7', {line}));
    }
}

}  // namespace squadlink
