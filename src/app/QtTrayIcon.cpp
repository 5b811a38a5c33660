#include "QtTrayIcon.h"

#include <QSystemTrayIcon>

namespace squadlink {

bool QtTrayIcon::available() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayIcon::add() {
    if (m_window != nullptr) {
        m_window->showTrayIcon();
    }
}

void QtTrayIcon::remove() {
    if (m_window != nullptr) {
        m_window->removeTrayIcon();
    }
}

}  // namespace squadlink
