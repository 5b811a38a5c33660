#pragma once

#include <QObject>
#include <QTimer>

#include "platform/WindowSystem.h"

class QWidget;

namespace squadlink {

// Edge snapping where the window manager drags the window itself and only reports where it
// went (X11): once a move by the user has come to rest, the window is pulled against the
// work-area edges it was put down near. Where the window system does not let a program place
// its window (Wayland), nothing happens.
class WindowEdgeSnapper : public QObject {
public:
    // How long the window must keep still before a move counts as finished.
    static constexpr int kRestMs = 250;

    WindowEdgeSnapper(QWidget& window, const WindowSystem& windows);

    bool eventFilter(QObject* watched, QEvent* event) override;
    // Puts the window where the finished move leaves it; the rest timer calls it.
    void settle();
    bool moveInProgress() const { return m_rest.isActive(); }

private:
    QWidget& m_window;
    const WindowSystem& m_windows;
    QTimer m_rest;
};

}  // namespace squadlink
