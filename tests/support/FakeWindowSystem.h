#pragma once

#include <functional>
#include <utility>
#include <vector>

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
    // Runs the work at once unless a test holds the first frame back.
    void afterFirstFrame(std::function<void()> work) override {
        if (holdFirstFrame) {
            waitingForFrame.push_back(std::move(work));
        } else {
            work();
        }
    }
    void showFirstFrame() {
        holdFirstFrame = false;
        auto waiting = std::move(waitingForFrame);
        waitingForFrame.clear();
        for (auto& work : waiting) {
            work();
        }
    }
    bool holdFirstFrame = false;
    std::vector<std::function<void()>> waitingForFrame;
    ForegroundWindow front = ForegroundWindow::MainWindow;
    Rect area{0, 0, 1280, 1024};
    int restores = 0;
    int activations = 0;
};

}  // namespace squadlink
