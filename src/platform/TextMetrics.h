#pragma once

#include <string>

namespace squadlink {

// Text widths in the main window's font, in pixels, for captions the logic shortens itself.
class TextMetrics {
public:
    virtual ~TextMetrics() = default;
    virtual int textWidth(const std::string& text) const = 0;
};

}  // namespace squadlink
