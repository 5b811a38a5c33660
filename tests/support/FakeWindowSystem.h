#pragma once

#include "platform/WindowSystem.h"

namespace squadlink {

class FakeWindowSystem : public WindowSystem {
public:
    ForegroundWindow foreground() const override { return front; }
    Rect workArea() const override { return area; }
    void restoreAndActivateMainWindow() override {
        ++restores;
        front = ForegroundWindow::MainWindow;
    }
    void activateMainWindow() override {
        ++activations;
        front = ForegroundWindow::MainWindow;
    }
    ForegroundWindow front = ForegroundWindow::MainWindow;
    Rect area{0, 0, 1280, 1024};
    int restores = 0;
    int activations = 0;
};

}  // namespace squadlink
