#pragma once

#include <QElapsedTimer>

#include "platform/Clock.h"

namespace squadlink {

// Monotonic milliseconds since construction, and the local wall-clock time.
class QtClock : public Clock {
public:
    QtClock();
    std::int64_t tickMs() const override;
    std::int64_t tickUs() const override;
    LocalDateTime now() const override;

private:
    static constexpr std::int64_t kZoneFileCheckMs = 60000;
    QElapsedTimer m_started;
    // When the time zone was last read; -1 before the first time.
    mutable std::int64_t m_zoneReadMs = -1;
};

}  // namespace squadlink
