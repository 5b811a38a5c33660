#pragma once

#include <QPointer>

#include "MainWindow.h"
#include "platform/TrayIcon.h"

namespace squadlink {

// The notification-area icon of the main window, as the behaviour adds and removes it.
class QtTrayIcon : public TrayIcon {
public:
    explicit QtTrayIcon(MainWindow& window) : m_window(&window) {}
    bool available() const override;
    void add() override;
    void remove() override;

private:
    QPointer<MainWindow> m_window;
};

}  // namespace squadlink
