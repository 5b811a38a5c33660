#include "backends/qt/QtClock.h"

#include <cstdlib>
#include <ctime>

namespace squadlink {

QtClock::QtClock() {
    m_started.start();
}

std::int64_t QtClock::tickMs() const {
    return m_started.elapsed();
}

std::int64_t QtClock::tickUs() const {
    // QElapsedTimer uses the monotonic clock where the system has one (Linux always does).
    return m_started.nsecsElapsed() / 1000;
}

LocalDateTime QtClock::now() const {
    // The clock asks every second: the C library's conversion costs a fraction of a general
    // date-time object's. tzset() follows a change of the time zone made while running: at
    // once when it comes through TZ, which costs nothing to compare, and within a minute when
    // the system's zone file changes, which tzset() would otherwise look up every second.
    const std::time_t seconds = std::time(nullptr);
    const std::int64_t tick = m_started.elapsed();
    if (m_zoneReadMs < 0 || tick - m_zoneReadMs >= kZoneFileCheckMs ||
        std::getenv("TZ") != nullptr) {
        ::tzset();
        m_zoneReadMs = tick;
    }
    std::tm local{};
    if (::localtime_r(&seconds, &local) == nullptr) {
        return {};
    }
    return LocalDateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                         local.tm_hour,        local.tm_min,     local.tm_sec};
}

}  // namespace squadlink
