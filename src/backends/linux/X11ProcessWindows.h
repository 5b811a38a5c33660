#pragma once

#include <memory>
#include <string>

#include "platform/ProcessWindows.h"

struct _XDisplay;

namespace squadlink {

// Processes from /proc; windows from X11: the window manager's client list (_NET_CLIENT_LIST)
// where one runs, the root window's children where none does, with each window's process
// (_NET_WM_PID) and title (_NET_WM_NAME, else WM_NAME). Without a display there are no windows.
class X11ProcessWindows : public ProcessWindows {
public:
    // `display` may be null; `procRoot` is where the process table is mounted.
    explicit X11ProcessWindows(_XDisplay* display, std::string procRoot = "/proc");
    ~X11ProcessWindows() override;
    X11ProcessWindows(const X11ProcessWindows&) = delete;
    X11ProcessWindows& operator=(const X11ProcessWindows&) = delete;

    std::vector<Process> processes() const override;
    std::vector<Window> topLevelWindows() const override;
    WindowId foregroundWindow() const override;
    Window describeWindow(WindowId window) const override;
    std::int64_t windowProcessId(WindowId window) const override;
    std::string processName(std::int64_t processId) const override;
    bool closeWindow(WindowId window) override;

    // The executable's file name of one process: the kernel's name for it, or, where that was
    // cut short, the file name the program was started by (argv[0], with either kind of path
    // separator, as Wine gives a Windows path).
    static std::string processName(const std::string& comm, const std::string& cmdline);

    // How many questions waited for the X server's answer over the watch's own connection:
    // while neither the front window nor its process changes, this stays put.
    std::uint64_t roundTrips() const;

private:
    struct Watch;
    bool windowManagerRuns() const;
    std::string processNameAt(const std::string& folder) const;
    // The connection of its own the once-a-second questions go over, opened on first use and
    // caught up with what the server sent since; null where it cannot be opened or was lost,
    // and those questions then go over `m_display`.
    Watch* watch() const;

    _XDisplay* m_display;
    std::string m_procRoot;
    mutable std::unique_ptr<Watch> m_watch;
    mutable bool m_watchTried = false;
};

}  // namespace squadlink
