#pragma once

#include <vector>

#include "platform/ProcessWindows.h"

namespace squadlink {

// Processes and windows a test lays out; closing a window removes it unless `closeFails`.
class FakeProcessWindows : public ProcessWindows {
public:
    std::vector<Process> processes() const override {
        ++listings;
        return running;
    }
    std::vector<Window> topLevelWindows() const override {
        ++listings;
        return windows;
    }
    WindowId foregroundWindow() const override { return foreground; }
    Window describeWindow(WindowId window) const override {
        for (const Window& w : windows) {
            if (w.id == window) {
                return w;
            }
        }
        return Window{window, 0, {}, false};
    }
    std::int64_t windowProcessId(WindowId window) const override {
        return describeWindow(window).processId;
    }
    std::string processName(std::int64_t processId) const override {
        for (const Process& p : running) {
            if (p.id == processId) {
                return p.name;
            }
        }
        return {};
    }
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
    // Whole lists of processes or windows asked for.
    mutable int listings = 0;
};

}  // namespace squadlink
