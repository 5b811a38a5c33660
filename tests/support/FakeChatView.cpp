#include "support/FakeChatView.h"

#include <algorithm>

namespace squadlink {

namespace {
const char* kindName(ChatLineKind kind) {
    switch (kind) {
        case ChatLineKind::Normal:
            return "normal";
        case ChatLineKind::ReflexScore:
            return "score";
        case ChatLineKind::Notice:
            return "notice";
        case ChatLineKind::Action:
            return "action";
    }
    return "?";
}

std::string visible(std::string_view text) {
    std::string out(text);
    std::replace(out.begin(), out.end(), '\0', '|');
    return out;
}
}  // namespace

void FakeChatView::AddChatMessage(std::string_view nick, std::string_view text, ChatLineKind kind) {
    lines.push_back(std::string("[") + kindName(kind) + "] " + std::string(nick) + ": " +
                    visible(text));
}

void FakeChatView::AppendChatLine(bool newLine, std::string_view nick, std::string_view text,
                                  bool linkStyle, ChatLineKind kind) {
    (void)newLine;
    (void)linkStyle;
    lines.push_back(std::string("[") + kindName(kind) + "] " + std::string(nick) + ": " +
                    visible(text));
}

void FakeChatView::ShowReceivedChat(std::string_view payload, ChatLineKind kind) {
    lines.push_back(std::string("[received ") + kindName(kind) + "] " + visible(payload));
}

void FakeChatView::ShowChattersList(std::string_view payload) {
    lines.push_back("[who] " + visible(payload));
}

bool FakeChatView::has(const std::string& line) const {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace squadlink
