#pragma once

#include <QProxyStyle>

namespace squadlink {

// The desktop's own style, except that the menu bar's overflow arrow is read the first time it
// is drawn. A menu bar asks for that picture when it is made, and reading a picture file loads
// every image plug-in on the machine; the arrow only shows when the menus do not fit, which
// ours always do.
class ProgramStyle : public QProxyStyle {
public:
    ProgramStyle() = default;
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

}  // namespace squadlink
