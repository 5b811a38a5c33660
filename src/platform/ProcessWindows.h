#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace squadlink {

// What the desktop tells about running programs and their top-level windows. The rules for
// finding one (names ignoring case, title lengths, patterns) belong to the caller.
class ProcessWindows {
public:
    using WindowId = std::uint64_t;
    struct Process {
        std::int64_t id = 0;
        // The executable's file name as the system gives it (no folder).
        std::string name;
    };
    struct Window {
        WindowId id = 0;
        std::int64_t processId = 0;
        // Windows-1252, as the title would read on a Windows desktop.
        std::string title;
        // Owned by another window (a dialog of it), so not a main window of its own.
        bool hasParent = false;
    };

    virtual ~ProcessWindows() = default;
    // Running processes in the system's order.
    virtual std::vector<Process> processes() const = 0;
    // Top-level windows in the window system's order.
    virtual std::vector<Window> topLevelWindows() const = 0;
    // The window that has the keyboard focus; 0 when none or unknown.
    virtual WindowId foregroundWindow() const = 0;
    // One window as topLevelWindows() describes it, and the executable's file name of one
    // process (empty when it has ended): what a once-a-second look at the foreground window
    // needs, without listing every process and window.
    virtual Window describeWindow(WindowId window) const = 0;
    virtual std::int64_t windowProcessId(WindowId window) const = 0;
    virtual std::string processName(std::int64_t processId) const = 0;
    // Asks a window to close, as its own close button would; false when the request could not
    // be delivered.
    virtual bool closeWindow(WindowId window) = 0;
};

}  // namespace squadlink
