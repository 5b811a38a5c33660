#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "core/model/Timer.h"
#include "support/FakeServices.h"

namespace squadlink {

// Virtual time for the model's timers: advance() fires every running timer whose deadline
// passes, in time order, and moves the fake clock along.
class FakeTimerDriver {
public:
    explicit FakeTimerDriver(FakeClock& clock) : m_clock(clock) {}
    void attach(Timer& timer);
    void advance(std::int64_t ms);

private:
    struct Watch {
        unsigned generation = 0;
        bool running = false;
        std::int64_t deadline = 0;
    };
    void refresh(Timer& timer);
    FakeClock& m_clock;
    std::map<Timer*, Watch> m_watches;
};

}  // namespace squadlink
