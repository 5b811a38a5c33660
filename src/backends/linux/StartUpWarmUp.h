#pragma once

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

private:
    std::thread m_fonts;
    std::thread m_bus;
};

}  // namespace squadlink
