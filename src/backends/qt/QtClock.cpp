#include "backends/qt/QtClock.h"

#include <QDateTime>

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
    const QDateTime current = QDateTime::currentDateTime();
    const QDate date = current.date();
    const QTime time = current.time();
    return LocalDateTime{date.year(), date.month(),  date.day(),
                         time.hour(), time.minute(), time.second()};
}

}  // namespace squadlink
