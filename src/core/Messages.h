#pragma once

#include <string>
#include <string_view>

#include "platform/MessageBox.h"

namespace squadlink {

inline constexpr const char* kLineBreak = "\r\n";

// The one message-box wrapper: caption "<app caption> - <title>", every line padded with
// three blanks.
class Messages {
public:
    Messages(MessageBox& box, const std::string& appCaption) : m_box(box), m_caption(appCaption) {}
    int ShowMessage(std::string_view text, int flags, std::string_view title);
    int warning(std::string_view text) { return ShowMessage(text, mb::Warning, "Warning"); }
    static std::string padLines(std::string_view text);

private:
    MessageBox& m_box;
    const std::string& m_caption;
};

}  // namespace squadlink
