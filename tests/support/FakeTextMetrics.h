#pragma once

#include "platform/TextMetrics.h"

namespace squadlink {

// Every character the same width, so that tests can say which texts fit.
class FakeTextMetrics : public TextMetrics {
public:
    int textWidth(const std::string& text) const override {
        return static_cast<int>(text.size()) * charWidth;
    }
    int charWidth = 6;
};

}  // namespace squadlink
