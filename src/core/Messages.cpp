#include "core/Messages.h"

#include "core/Lifecycle.h"
#include "platform/RuntimeError.h"

namespace squadlink {

std::string Messages::padLines(std::string_view text) {
    std::string padded;
    padded.reserve(text.size() + 12);
    std::size_t pos = 0;
    while (true) {
        const std::size_t br = text.find("\r\n", pos);
        if (br == std::string_view::npos) {
            padded.append(text.substr(pos));
            break;
        }
        padded.append(text.substr(pos, br - pos));
        padded.append("   \r\n");
        pos = br + 2;
    }
    padded.append("   ");
    return padded;
}

bool Messages::shuttingDown() const {
    return m_lifecycle != nullptr && m_lifecycle->ended();
}

int Messages::present(std::string_view text, int flags, std::string_view title) {
    if (shuttingDown()) {
        return mb::safeAnswer(flags);
    }
    std::string caption = m_caption;
    caption.append(" - ").append(title);
    int answer = 0;
    ++m_openBoxes;
    try {
        answer = m_box.show(padLines(text), caption, flags);
    } catch (...) {
        --m_openBoxes;
        throw;
    }
    --m_openBoxes;
    if (shuttingDown()) {
        // Shut-down closed the box under the caller's feet; whatever it would do next with
        // the answer belongs to a program that no longer runs.
        throw ProgramEnd{};
    }
    return answer;
}

int Messages::ShowMessage(std::string_view text, int flags, std::string_view title) {
    if (m_networkDepth > 0 && m_openBoxes > 0) {
        if ((flags & 0x0F) != 0) {
            return mb::safeAnswer(flags);
        }
        m_held = Held{std::string(text), flags, std::string(title)};
        return mb::Ok;
    }
    const int answer = present(text, flags, title);
    while (m_openBoxes == 0 && m_held) {
        const Held next = std::move(*m_held);
        m_held.reset();
        present(next.text, next.flags, next.title);
    }
    return answer;
}

int Messages::showBeforeEnd(std::string_view text, int flags, std::string_view title) {
    std::string caption = m_caption;
    caption.append(" - ").append(title);
    return m_box.show(padLines(text), caption, flags);
}

}  // namespace squadlink
