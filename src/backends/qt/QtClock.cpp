#include "backends/qt/QtClock.h"

#include <QDateTime>

namespace squadlink {

QtClock::QtClock() {
    m_started.start();
}

std::int64_t QtClock::tickMs() const {
    return m_started.elapsed();
}

LocalDateTime QtClock::now() const {
    const QDateTime current = QDateTime::currentDateTime();
    const QDate date = current.date();
    const QTime time = current.time();
    return LocalDateTime{date.year(), date.month(),  date.day(),
                         time.hour(), time.minute(), time.second()};
}

}  // namespace squadlink
