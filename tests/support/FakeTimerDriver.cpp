#include "support/FakeTimerDriver.h"

namespace squadlink {

void FakeTimerDriver::attach(Timer& timer) {
    m_watches[&timer] = Watch{};
    timer.changed.connect([this, &timer] { refresh(timer); });
    refresh(timer);
}

void FakeTimerDriver::refresh(Timer& timer) {
    Watch& watch = m_watches[&timer];
    const bool running = timer.running();
    if (running && (!watch.running || watch.generation != timer.generation())) {
        watch.deadline = m_clock.ms + timer.interval();
    }
    watch.running = running;
    watch.generation = timer.generation();
}

void FakeTimerDriver::advance(std::int64_t ms) {
    const std::int64_t end = m_clock.ms + ms;
    while (true) {
        Timer* next = nullptr;
        std::int64_t when = end + 1;
        for (auto& [timer, watch] : m_watches) {
            if (watch.running && watch.deadline < when) {
                when = watch.deadline;
                next = timer;
            }
        }
        if (next == nullptr) {
            break;
        }
        m_clock.ms = when;
        m_watches[next].deadline = when + next->interval();
        next->tick();
    }
    m_clock.ms = end;
}

}  // namespace squadlink
