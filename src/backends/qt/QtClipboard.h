#pragma once

#include "platform/Clipboard.h"

namespace squadlink {

// The desktop clipboard through Qt; text converted to and from Windows-1252 at this edge.
class QtClipboard : public Clipboard {
public:
    std::string text() const override;
    void setText(const std::string& text) override;
};

}  // namespace squadlink
