#pragma once

#include <string>
#include <string_view>

#include "core/ChatView.h"
#include "core/FormState.h"
#include "core/model/WindowModel.h"
#include "platform/Clock.h"

namespace squadlink {

// Writes what the link reports into the chat view as plain time-stamped lines, so that every
// connection event and chat line is visible.
class PlainChatView : public ChatView {
public:
    static constexpr std::size_t kMaxChars = 60000;

    PlainChatView(WindowModel& ui, FormState& state, Clock& clock)
        : m_ui(ui), m_state(state), m_clock(clock) {}

    void InitChatView() override;
    void AddEventLine(std::string_view text) override;
    void AddChatMessage(std::string_view nick, std::string_view text, ChatLineKind kind) override;
    void AppendChatLine(bool newLine, std::string_view nick, std::string_view text, bool linkStyle,
                        ChatLineKind kind) override;
    void ShowReceivedChat(std::string_view payload, ChatLineKind kind) override;
    void ShowChattersList(std::string_view payload) override;

private:
    std::string timeStamp() const;
    void append(const std::string& line);

    WindowModel& m_ui;
    FormState& m_state;
    Clock& m_clock;
};

}  // namespace squadlink
