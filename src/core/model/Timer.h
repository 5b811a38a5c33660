#pragma once

#include "core/model/Control.h"

namespace squadlink {

// A timer of the user-interface thread. Enabled with a non-zero interval it ticks every
// interval; switching it off and on again (restart) starts a full interval. The real and the
// fake timer drivers listen to `changed` and call tick().
class Timer : public Control {
public:
    explicit Timer(std::string name) : Control(std::move(name)) { Control::setEnabled(false); }
    int interval() const { return m_interval; }
    void setInterval(int interval) {
        m_interval = interval;
        ++m_generation;
        changed.raise();
    }
    bool running() const { return enabled() && m_interval > 0; }
    void start() {
        ++m_generation;
        Control::setEnabled(true);
        changed.raise();
    }
    void stop() { Control::setEnabled(false); }
    void restart() {
        stop();
        start();
    }
    // Changes whenever the countdown must begin again.
    unsigned generation() const { return m_generation; }
    void tick() {
        if (running()) {
            Tick.raise();
        }
    }

    Event<> Tick;

private:
    int m_interval = 0;
    unsigned m_generation = 0;
};

}  // namespace squadlink
