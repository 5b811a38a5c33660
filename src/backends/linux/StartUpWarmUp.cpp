#include "backends/linux/StartUpWarmUp.h"

#include <fontconfig/fontconfig.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QThread>
#include <cstdlib>
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
        m_bus = startThread([] { (void)QDBusConnection::sessionBus(); });
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

}  // namespace squadlink
