#include "chat/PlainChatView.h"

#include <cstdio>
#include <vector>

namespace squadlink {

namespace {
// Chat text may carry NULs and line breaks from the wire; a view line shows neither.
std::string printable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        out.push_back(c == '\0' || c == '\r' || c == '\n' ? ' ' : c);
    }
    return out;
}

std::vector<std::string_view> splitFields(std::string_view payload) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (start < payload.size()) {
        const std::size_t nul = payload.find('\0', start);
        if (nul == std::string_view::npos) {
            break;
        }
        fields.push_back(payload.substr(start, nul - start));
        start = nul + 1;
    }
    return fields;
}
}  // namespace

std::string PlainChatView::timeStamp() const {
    const LocalDateTime now = m_clock.now();
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", now.hour % 100, now.minute % 100,
                  now.second % 100);
    return buffer;
}

void PlainChatView::append(const std::string& line) {
    std::string text = m_ui.rtb.caption();
    if (!text.empty()) {
        text.append("\r\n");
    }
    text.append(line);
    // The view clears itself rather than grow without bound.
    if (text.size() > kMaxChars) {
        text = line;
    }
    m_ui.rtb.setCaption(std::move(text));
}

void PlainChatView::InitChatView() {
    m_ui.rtb.setCaption("Welcome to Squadlink chat");
}

void PlainChatView::AddEventLine(std::string_view text) {
    append("[" + timeStamp() + "] " + printable(text));
}

void PlainChatView::AddChatMessage(std::string_view nick, std::string_view text,
                                   ChatLineKind kind) {
    AppendChatLine(true, nick, text, false, kind);
}

void PlainChatView::AppendChatLine(bool newLine, std::string_view nick, std::string_view text,
                                   bool linkStyle, ChatLineKind kind) {
    (void)newLine;
    (void)linkStyle;
    const std::string stamp = "[" + timeStamp() + "] ";
    switch (kind) {
        case ChatLineKind::Action:
            append(stamp + "* " + printable(nick) + " " + printable(text));
            break;
        case ChatLineKind::ReflexScore:
            append(stamp + printable(nick) + " scored " + printable(text) +
                   " ms in the reflex test");
            break;
        case ChatLineKind::Notice:
            append(printable(text));
            break;
        case ChatLineKind::Normal:
            append(stamp + printable(nick) + ": " + printable(text));
            break;
    }
}

void PlainChatView::ShowReceivedChat(std::string_view payload, ChatLineKind kind) {
    m_ui.tServer.setText(m_state.sArrangerAddress);
    const auto fields = splitFields(payload);
    if (fields.size() < 2) {
        return;
    }
    AddChatMessage(fields[0], fields[1], kind);
}

void PlainChatView::ShowChattersList(std::string_view payload) {
    const auto fields = splitFields(payload);
    if (fields.empty()) {
        return;
    }
    std::string line = "Persons on chat: ";
    bool first = true;
    for (std::size_t i = 1; i + 1 < fields.size(); i += 2) {
        line.append(first ? "" : ", ").append(printable(fields[i]));
        line.append(" (").append(printable(fields[i + 1])).append(")");
        first = false;
    }
    append(line);
}

}  // namespace squadlink
