#pragma once

#include "platform/TextMetrics.h"

class QWidget;

namespace squadlink {

// Widths in the main window's font.
class QtTextMetrics : public TextMetrics {
public:
    explicit QtTextMetrics(const QWidget& window) : m_window(window) {}
    int textWidth(const std::string& text) const override;

private:
    const QWidget& m_window;
};

}  // namespace squadlink
