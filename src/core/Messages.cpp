#include "core/Messages.h"

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

int Messages::ShowMessage(std::string_view text, int flags, std::string_view title) {
    std::string caption = m_caption;
    caption.append(" - ").append(title);
    return m_box.show(padLines(text), caption, flags);
}

}  // namespace squadlink
