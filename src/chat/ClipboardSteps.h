#pragma once

#include <functional>
#include <string>

#include "chat/ChatContext.h"

namespace squadlink {

// The chat's clipboard steps. A user's action that finds the clipboard busy asks Retry or
// Cancel; a step the program takes by itself retries quietly after letting events run.
class ClipboardSteps {
public:
    explicit ClipboardSteps(ChatContext& ctx) : m_ctx(ctx) {}

    // False when the user cancelled.
    bool askingStep(const std::function<void()>& step);
    // Empties the clipboard and puts the text on it, letting events run after each step.
    bool copyAsking(const std::string& text);

private:
    ChatContext& m_ctx;
};

}  // namespace squadlink
