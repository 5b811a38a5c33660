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
    QElapsedTimer m_started;
};

}  // namespace squadlink
