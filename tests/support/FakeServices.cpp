#include "support/FakeServices.h"

#include <algorithm>

#include "platform/RuntimeError.h"

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

int FakeMessageBox::show(const std::string& text, const std::string& caption, int flags) {
    shown.push_back(Shown{text, caption, flags});
    if (whileOpen) {
        auto during = std::move(whileOpen);
        whileOpen = nullptr;
        during();
    }
    if (!answers.empty()) {
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    const bool question = flags == mb::YesNoInformation || flags == mb::YesNoInformationDefaultNo;
    return question ? mb::No : mb::Ok;
}

bool FakeMessageBox::anyContains(const std::string& part) const {
    return std::any_of(shown.begin(), shown.end(),
                       [&](const Shown& s) { return s.text.find(part) != std::string::npos; });
}

std::optional<std::string> FakeSettings::read(const std::string& key) const {
    const auto found = values.find(key);
    if (found == values.end()) {
        return std::nullopt;
    }
    return found->second;
}

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

std::string FakeClipboard::text() const {
    if (busyCalls > 0) {
        --busyCalls;
        throw RuntimeError(err::ClipboardCannotOpen, "Can't open Clipboard");
    }
    return content;
}

void FakeClipboard::setText(const std::string& text) {
    if (busyCalls > 0) {
        --busyCalls;
        throw RuntimeError(err::ClipboardCannotOpen, "Can't open Clipboard");
    }
    content = text;
    ++writes;
}

}  // namespace squadlink
