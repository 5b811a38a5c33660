#include "backends/linux/UnixSignals.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <csignal>

#include <QSocketNotifier>

namespace squadlink {

namespace {
// The write end is all a signal handler may touch; one pair serves the process.
int g_signalPipe[2] = {-1, -1};

extern "C" void onSignal(int number) {
    const char byte = static_cast<char>(number);
    const auto ignored = ::write(g_signalPipe[1], &byte, 1);
    (void)ignored;
}
}  // namespace

UnixSignals::UnixSignals(std::function<void()> onTerminate)
    : m_onTerminate(std::move(onTerminate)) {
    if (g_signalPipe[0] < 0 &&
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0) {
        return;
    }
    ::fcntl(g_signalPipe[1], F_SETFL, O_NONBLOCK);
    m_notifier = std::make_unique<QSocketNotifier>(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] {
        char byte = 0;
        const auto ignored = ::read(g_signalPipe[0], &byte, 1);
        (void)ignored;
        if (m_onTerminate) {
            m_onTerminate();
        }
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
        ::sigaction(number, &action, nullptr);
    }
}

UnixSignals::~UnixSignals() {
    for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
        ::signal(number, SIG_DFL);
    }
}

}  // namespace squadlink
