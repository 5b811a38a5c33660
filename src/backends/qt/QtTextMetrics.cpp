#include "backends/qt/QtTextMetrics.h"

#include <QFontMetrics>
#include <QWidget>

#include "backends/qt/Cp1252.h"

namespace squadlink {

int QtTextMetrics::textWidth(const std::string& text) const {
    return QFontMetrics(m_window.font()).horizontalAdvance(Cp1252::toUnicode(text));
}

}  // namespace squadlink
