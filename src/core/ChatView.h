#pragma once

#include <string>
#include <string_view>

namespace squadlink {

enum class ChatLineKind { Normal = 0, ReflexScore = 1, Notice = 2, Action = 3 };

// What the link writes into the chat view.
class ChatView {
public:
    virtual ~ChatView() = default;
    virtual void InitChatView() = 0;
    virtual void AddEventLine(std::string_view text) = 0;
    virtual void AddChatMessage(std::string_view nick, std::string_view text,
                                ChatLineKind kind) = 0;
    virtual void AppendChatLine(bool newLine, std::string_view nick, std::string_view text,
                                bool linkStyle, ChatLineKind kind) = 0;
    // Payload: nick, NUL, text, NUL.
    virtual void ShowReceivedChat(std::string_view payload, ChatLineKind kind) = 0;
    // Payload of a who answer after its code and NUL.
    virtual void ShowChattersList(std::string_view payload) = 0;
};

}  // namespace squadlink
