#pragma once

#include <functional>
#include <string>
#include <thread>

namespace squadlink {

// Work that Qt would otherwise do on the main thread while the window is built, begun on threads
// of their own before QApplication, while the main thread connects to the display; Qt later
// finds it done.
// - Fonts: loading fontconfig's configuration is the largest single step before the first
//   window can show text.
// - The session bus: the accessibility bridge connects to it at the window's first
//   accessibility event, long before the window is shown. Without a bus, the connection forks
//   to try launching one, and the main thread waited for that fork. Qt keeps the session
//   connection, failed or not, for the whole process, so connecting early costs nothing later.
//   Where no bus can be had at all, no launcher is forked for it.
// Both threads end (joined) when dropped; waitForFonts() joins the first sooner.
class StartUpWarmUp {
public:
    StartUpWarmUp();
    ~StartUpWarmUp();
    StartUpWarmUp(const StartUpWarmUp&) = delete;
    StartUpWarmUp& operator=(const StartUpWarmUp&) = delete;

    void waitForFonts();

    // Whether the display platform Qt will choose connects to the session bus for its
    // accessibility bridge (the desktop ones do; offscreen and the like do not).
    static bool platformUsesSessionBus(const char* platform);

    // Where libdbus looks for the session bus: the address it is given, the bus in the user's
    // runtime folder, or a dbus-launch it can run (at its full path or through PATH).
    struct BusSearch {
        const char* address = nullptr;     // DBUS_SESSION_BUS_ADDRESS
        const char* runtimeDir = nullptr;  // XDG_RUNTIME_DIR
        const char* path = nullptr;        // PATH
    };
    // Whether the session bus may be reached or launched; false when every way is known to
    // fail, so that trying would only fork a child that finds no launcher.
    static bool sessionBusMayBeFound(const BusSearch& search,
                                     const std::function<bool(const std::string&)>& exists,
                                     const std::function<bool(const std::string&)>& executable);

private:
    std::thread m_fonts;
    std::thread m_bus;
};

}  // namespace squadlink
