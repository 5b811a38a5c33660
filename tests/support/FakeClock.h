#pragma once

#include <cstdint>

#include "platform/Clock.h"

namespace squadlink {

class FakeClock : public Clock {
public:
    std::int64_t tickMs() const override { return ms; }
    std::int64_t tickUs() const override { return ms * 1000 + us; }
    LocalDateTime now() const override { return date; }
    std::int64_t ms = 1'000'000;
    // Microseconds on top of `ms`, for round trips finer than a millisecond.
    std::int64_t us = 0;
    LocalDateTime date{2026, 12, 8, 9, 5, 7};
};

}  // namespace squadlink
