#pragma once

#include <QPointer>
#include <QWidget>
#include <optional>
#include <string>

#include "platform/WindowSystem.h"

namespace squadlink {

// The desktop as the logic sees it. The main window is known to Qt; any other foreground
// window is looked up through the X11 window manager hints, when there is an X11 display.
class QtWindowSystem : public WindowSystem {
public:
    explicit QtWindowSystem(QWidget& mainWindow);

    ForegroundWindow foreground() const override;
    Rect workArea() const override;
    void restoreAndActivateMainWindow() override;
    void activateMainWindow() override;
    void afterFirstFrame(std::function<void()> work) override;

    // Whether a process name or command line belongs to the game ("hl.exe" under Wine or
    // Proton, "hl_linux" natively), letter case ignored.
    static bool isGameProcess(const std::string& comm, const std::string& cmdline);

private:
    // The X11 answer: nullopt when there is no X11 display to ask.
    std::optional<ForegroundWindow> foregroundFromX11() const;

    QPointer<QWidget> m_window;
    // Watches the main window for its first painted frame and then runs what waited for it.
    class FirstFrame;
    FirstFrame* m_firstFrame = nullptr;
};

}  // namespace squadlink
