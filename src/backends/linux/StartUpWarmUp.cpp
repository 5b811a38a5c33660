#include "backends/linux/StartUpWarmUp.h"

#include <fontconfig/fontconfig.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QString>
#include <QThread>
#include <cstdlib>
#include <initializer_list>
#include <string_view>
#include <system_error>
#include <utility>

namespace squadlink {

namespace {

template <typename Work>
std::thread startThread(Work&& work) {
    try {
        return std::thread(std::forward<Work>(work));
    } catch (const std::system_error&) {
        // No thread to spare: Qt does the work itself when it first needs it, as it always could.
        return {};
    }
}

bool fileExists(const std::string& path) {
    return ::access(path.c_str(), F_OK) == 0;
}

bool fileExecutable(const std::string& path) {
    return ::access(path.c_str(), X_OK) == 0;
}

void connectToSessionBus() {
    const StartUpWarmUp::BusSearch search{std::getenv("DBUS_SESSION_BUS_ADDRESS"),
                                          std::getenv("XDG_RUNTIME_DIR"), std::getenv("PATH")};
    if (!StartUpWarmUp::sessionBusMayBeFound(search, fileExists, fileExecutable)) {
        // Qt makes its session connection under this name and takes one that already exists
        // under it: a connection that fails at once stands in for the launcher's fork, with
        // the same result. Should a Qt name it otherwise, the fork simply happens as before.
        (void)QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/no-session-bus"),
                                            QStringLiteral("qt_default_session_bus"));
    }
    (void)QDBusConnection::sessionBus();
}

void join(std::thread& thread) {
    if (thread.joinable()) {
        thread.join();
    }
}

}  // namespace

StartUpWarmUp::StartUpWarmUp()
    : m_fonts(startThread([] {
          // Second in line for the processor: the main thread and the display server, with
          // which it exchanges its first requests meanwhile, come first. On two cores, at equal
          // rank, this thread slowed QApplication by about a millisecond. Linux ranks each
          // thread on its own; failing, the thread just keeps its rank.
          (void)::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
          // Thread-safe since fontconfig 2.11: whoever comes second finds the configuration
          // loaded.
          FcInit();
      })) {
    if (platformUsesSessionBus(std::getenv("QT_QPA_PLATFORM"))) {
        // Qt takes the first thread that asks for its thread data as the main thread. That must
        // be this one, before the bus thread's first Qt call: QApplication refuses to run its
        // event loop properly on any other thread.
        (void)QThread::currentThread();
        m_bus = startThread(connectToSessionBus);
    }
}

StartUpWarmUp::~StartUpWarmUp() {
    join(m_fonts);
    join(m_bus);
}

void StartUpWarmUp::waitForFonts() {
    join(m_fonts);
}

bool StartUpWarmUp::platformUsesSessionBus(const char* platform) {
    if (platform == nullptr || *platform == '\0') {
        return true;  // Qt's default on Linux: X11, or Wayland in a Wayland session
    }
    // A list of platforms to try in turn ("wayland;xcb") counts by its first.
    const std::string_view first =
        std::string_view(platform).substr(0, std::string_view(platform).find(';'));
    const std::string_view name = first.substr(0, first.find(':'));
    return name == "xcb" || name.starts_with("wayland");
}

bool StartUpWarmUp::sessionBusMayBeFound(
    const BusSearch& search, const std::function<bool(const std::string&)>& exists,
    const std::function<bool(const std::string&)>& executable) {
    if (search.address != nullptr && *search.address != '\0') {
        return true;
    }
    if (search.runtimeDir != nullptr && *search.runtimeDir != '\0' &&
        exists(std::string(search.runtimeDir) + "/bus")) {
        return true;
    }
    // libdbus runs the launcher from its own folder first, then as execvp finds it: through
    // PATH, or the C library's default where PATH is unset; an empty entry is the current
    // folder.
    for (const char* folder : {"/usr/bin", "/bin", "/usr/local/bin"}) {
        if (executable(std::string(folder) + "/dbus-launch")) {
            return true;
        }
    }
    if (search.path != nullptr) {
        std::string_view rest(search.path);
        while (true) {
            const std::size_t end = rest.find(':');
            const std::string_view entry = rest.substr(0, end);
            const std::string folder = entry.empty() ? std::string(".") : std::string(entry);
            if (executable(folder + "/dbus-launch")) {
                return true;
            }
            if (end == std::string_view::npos) {
                break;
            }
            rest.remove_prefix(end + 1);
        }
    }
    return false;
}

}  // namespace squadlink
