#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/ChatView.h"

namespace squadlink {

// Records what the link asks the chat view to show, one readable line per call.
class FakeChatView : public ChatView {
public:
    void InitChatView() override { lines.push_back("[init]"); }
    void AddEventLine(std::string_view text) override {
        lines.push_back("[event] " + std::string(text));
    }
    void AddChatMessage(std::string_view nick, std::string_view text, ChatLineKind kind) override;
    void AppendChatLine(bool newLine, std::string_view nick, std::string_view text, bool linkStyle,
                        ChatLineKind kind) override;
    void ShowReceivedChat(std::string_view payload, ChatLineKind kind) override;
    void ShowChattersList(std::string_view payload) override;
    bool has(const std::string& line) const;
    std::vector<std::string> lines;
};

}  // namespace squadlink
