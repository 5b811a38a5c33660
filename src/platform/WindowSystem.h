#pragma once

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
};

}  // namespace squadlink
