#pragma once

#include <QTimer>
#include <functional>
#include <map>
#include <memory>

#include "core/model/Timer.h"

namespace squadlink {

// Runs the model's timers on Qt timers of the UI thread. A tick goes through the guard, so
// that the common error handler wraps every timer handler.
class QtTimerDriver {
public:
    using Guard = std::function<void(const std::function<void()>&)>;

    QtTimerDriver();
    ~QtTimerDriver();
    QtTimerDriver(const QtTimerDriver&) = delete;
    QtTimerDriver& operator=(const QtTimerDriver&) = delete;

    void setGuard(Guard guard);
    // The timer must outlive the driver or be attached to a driver that outlives neither.
    void attach(Timer& timer);
    // The Qt timer behind a model timer, for inspection; null when not attached.
    const QTimer* qtTimer(const Timer& timer) const;

private:
    struct Watch {
        std::unique_ptr<QTimer> timer;
        unsigned generation = 0;
        int interval = 0;
    };
    void refresh(Timer& timer);
    void fire(Timer& timer);

    Guard m_guard;
    std::map<const Timer*, Watch> m_watches;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}  // namespace squadlink
