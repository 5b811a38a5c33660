#pragma once

#include <cstdint>

namespace squadlink {

struct LocalDateTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds from an arbitrary fixed point; only differences matter.
    virtual std::int64_t tickMs() const = 0;
    // Microseconds from an arbitrary fixed point on a clock that never jumps (round trips are
    // measured on it). The default is only as fine as tickMs().
    virtual std::int64_t tickUs() const { return tickMs() * 1000; }
    virtual LocalDateTime now() const = 0;
};

}  // namespace squadlink
