// Starts a program and reports what a user meets: the time from exec to the X server mapping
// its main window (the MapNotify seen on the root window, not a polling loop), and the peak
// resident memory of the process once it has been ended the way the desktop ends it.
//
// Usage: map_watch <title prefix> <settle ms> <program> [arguments...]
// Prints: "<ms from exec to map> <peak RSS kB>" on success.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

std::string windowTitle(Display* display, Window window) {
    char* name = nullptr;
    std::string title;
    if (XFetchName(display, window, &name) != 0 && name != nullptr) {
        title = name;
        XFree(name);
    }
    return title;
}

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <title prefix> <settle ms> <program> [args...]\n", argv[0]);
        return 2;
    }
    const std::string prefix = argv[1];
    const int settleMs = std::atoi(argv[2]);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    // Without a window manager a top-level window is a child of the root: its MapNotify
    // reaches whoever selected SubstructureNotify there.
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[3], argv + 3);
        _exit(127);
    }
    double mappedMs = -1;
    const int fd = ConnectionNumber(display);
    while (mappedMs < 0) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify &&
                windowTitle(display, event.xmap.window).rfind(prefix, 0) == 0) {
                mappedMs = msSince(start);
                break;
            }
        }
        if (mappedMs >= 0) {
            break;
        }
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            std::fprintf(stderr, "%s ended without mapping \"%s\"\n", argv[3], prefix.c_str());
            return 1;
        }
        if (msSince(start) > 30000) {
            kill(child, SIGKILL);
            std::fprintf(stderr, "no window within 30 s\n");
            return 1;
        }
        pollfd wait{fd, POLLIN, 0};
        poll(&wait, 1, 50);
    }
    usleep(static_cast<useconds_t>(settleMs) * 1000U);
    kill(child, SIGTERM);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    std::printf("%.1f %ld\n", mappedMs, usage.ru_maxrss);
    XCloseDisplay(display);
    return 0;
}
