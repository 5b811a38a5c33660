#include "WindowEdgeSnapper.h"

#include <QEvent>
#include <QWidget>

#include "shell/EdgeSnap.h"

namespace squadlink {

WindowEdgeSnapper::WindowEdgeSnapper(QWidget& window, const WindowSystem& windows)
    : m_window(window), m_windows(windows) {
    m_rest.setSingleShot(true);
    m_rest.setInterval(kRestMs);
    connect(&m_rest, &QTimer::timeout, this, &WindowEdgeSnapper::settle);
    m_window.installEventFilter(this);
}

bool WindowEdgeSnapper::eventFilter(QObject* watched, QEvent* event) {
    // Every move restarts the wait, the snapper's own included: that one settles where it is.
    if (watched == &m_window && event->type() == QEvent::Move && m_window.isVisible()) {
        m_rest.start();
    }
    return false;
}

void WindowEdgeSnapper::settle() {
    m_rest.stop();
    if (!m_window.isVisible() || m_window.isMinimized() || m_window.isMaximized() ||
        m_window.isFullScreen()) {
        return;
    }
    const QRect frame = m_window.frameGeometry();
    const Rect now{frame.left(), frame.top(), frame.left() + frame.width(),
                   frame.top() + frame.height()};
    const Rect area = m_windows.workArea();
    if (area.width() <= 0 || area.height() <= 0) {
        return;
    }
    const Rect placed = EdgeSnap::dropped(now, area);
    if (placed.left != now.left || placed.top != now.top) {
        m_window.move(placed.left, placed.top);
    }
}

}  // namespace squadlink
