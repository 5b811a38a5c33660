#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

namespace squadlink {

// Turns SIGTERM, SIGINT and SIGHUP (the desktop session ending, Ctrl+C in a terminal) into a
// call on the event loop, so that the program shuts down as if its window were closed.
class UnixSignals {
public:
    explicit UnixSignals(std::function<void()> onTerminate);
    ~UnixSignals();
    UnixSignals(const UnixSignals&) = delete;
    UnixSignals& operator=(const UnixSignals&) = delete;

private:
    std::function<void()> m_onTerminate;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

}  // namespace squadlink
