#pragma once

#include <string>

#include "platform/Clipboard.h"

namespace squadlink {

// Holds text like the desktop's clipboard; a test makes it busy to see the retry rules.
class FakeClipboard : public Clipboard {
public:
    std::string text() const override;
    void setText(const std::string& text) override;
    std::string content;
    // While above zero, each call fails with 521 and counts this down.
    mutable int busyCalls = 0;
    int writes = 0;
};

}  // namespace squadlink
