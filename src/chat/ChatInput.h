#pragma once

#include <array>
#include <string>
#include <string_view>

#include "chat/ChatContext.h"
#include "chat/ClipboardSteps.h"

namespace squadlink {

// The chat input box tChat: its key, character and change rules, the history of sent lines on
// the arrow keys, the flood lock on Enter, the clipboard keys, and the chat commands and
// messages of an entered line.
class ChatInput {
public:
    static constexpr std::size_t kMaxLength = 256;
    static constexpr int kHistorySize = 20;

    explicit ChatInput(ChatContext& ctx) : m_ctx(ctx), m_clipboard(ctx) {}

    void tChat_KeyDown(int& keyCode, int shift);
    void tChat_KeyPress(int& keyAscii);
    void tChat_Change();
    void ProcessChatLine(const std::string& line);
    void resetHistory();

    const std::array<std::string, kHistorySize>& ChatHistory() const { return m_history; }
    int nHistoryPos() const { return m_historyPos; }
    bool bHistoryBrowsing() const { return m_browsing; }

private:
    void enter();
    void rememberLine(const std::string& line);
    void showEntry();
    void clipboardKey(int keyCode);

    ChatContext& m_ctx;
    ClipboardSteps m_clipboard;
    std::array<std::string, kHistorySize> m_history;
    int m_historyPos = -1;
    bool m_browsing = false;
};

}  // namespace squadlink
