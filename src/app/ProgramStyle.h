#pragma once

#include <QProxyStyle>
#include <memory>

class QTabBar;

namespace squadlink {

// The desktop's own style, with two exceptions.
// - The menu bar's overflow arrow is read the first time it is drawn. A menu bar asks for that
//   picture when it is made, and reading a picture file loads every image plug-in on the
//   machine; the arrow only shows when the menus do not fit, which ours always do.
// - Compact tabs: the seven captions of the main window must fit its fixed width. A compact
//   tab is its caption with 4 pixels left and right and 3 above and below, drawn flat in the
//   classic Windows manner, which is what a "QTabBar::tab { padding: 3px 4px; }" style sheet
//   gives. A style sheet costs a cascade on every polish and paint of the bar, and a milli-
//   second at start-up.
class ProgramStyle : public QProxyStyle {
public:
    ProgramStyle();
    ~ProgramStyle() override;

    // Gives this tab bar compact tabs wherever ProgramStyle is its style.
    static void makeTabsCompact(QTabBar* bar);

    QIcon standardIcon(StandardPixmap which, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;

private:
    // Made when the first compact tab is drawn.
    mutable std::unique_ptr<QStyle> m_flatTabs;
};

}  // namespace squadlink
