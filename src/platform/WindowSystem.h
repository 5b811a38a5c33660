#pragma once

#include <functional>

namespace squadlink {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

enum class ForegroundWindow { None, MainWindow, Game, Other };

// What the logic needs of the desktop: where the foreground is, the work area, and bringing
// the main window back.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;
    virtual ForegroundWindow foreground() const = 0;
    virtual Rect workArea() const = 0;
    virtual void restoreAndActivateMainWindow() = 0;
    virtual void activateMainWindow() = 0;
    // Runs work once the main window's first frame is on the screen (at once when it already
    // is), from the event loop: start-up work the first frame does not need waits for it.
    virtual void afterFirstFrame(std::function<void()> work) = 0;
};

}  // namespace squadlink
