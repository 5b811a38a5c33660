#pragma once

#include <vector>

#include "platform/ProcessWindows.h"

namespace squadlink {

// Processes and windows a test lays out; closing a window removes it unless `closeFails`.
class FakeProcessWindows : public ProcessWindows {
public:
    std::vector<Process> processes() const override { return running; }
    std::vector<Window> topLevelWindows() const override { return windows; }
    WindowId foregroundWindow() const override { return foreground; }
    bool closeWindow(WindowId window) override {
        closed.push_back(window);
        if (closeFails) {
            return false;
        }
        std::erase_if(windows, [window](const Window& w) { return w.id == window; });
        return true;
    }

    std::vector<Process> running;
    std::vector<Window> windows;
    WindowId foreground = 0;
    bool closeFails = false;
    std::vector<WindowId> closed;
};

}  // namespace squadlink
