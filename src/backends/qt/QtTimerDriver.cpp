#include "backends/qt/QtTimerDriver.h"

namespace squadlink {

QtTimerDriver::QtTimerDriver() = default;

QtTimerDriver::~QtTimerDriver() {
    *m_alive = false;
}

void QtTimerDriver::setGuard(Guard guard) {
    m_guard = std::move(guard);
}

void QtTimerDriver::attach(Timer& timer) {
    Watch& watch = m_watches[&timer];
    watch.timer = std::make_unique<QTimer>();
    watch.timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(watch.timer.get(), &QTimer::timeout, [this, &timer] { fire(timer); });
    // The model has no way to disconnect, so the handler checks that the driver still exists.
    std::weak_ptr<bool> alive = m_alive;
    timer.changed.connect([this, alive, &timer] {
        if (!alive.expired()) {
            refresh(timer);
        }
    });
    refresh(timer);
}

const QTimer* QtTimerDriver::qtTimer(const Timer& timer) const {
    const auto found = m_watches.find(&timer);
    return found == m_watches.end() ? nullptr : found->second.timer.get();
}

void QtTimerDriver::refresh(Timer& timer) {
    Watch& watch = m_watches[&timer];
    if (!timer.running()) {
        watch.timer->stop();
    } else if (!watch.timer->isActive() || watch.generation != timer.generation() ||
               watch.interval != timer.interval()) {
        // Starting an active QTimer starts a full interval again, as the model asks.
        watch.timer->start(timer.interval());
    }
    watch.generation = timer.generation();
    watch.interval = timer.interval();
}

void QtTimerDriver::fire(Timer& timer) {
    if (m_guard) {
        m_guard([&timer] { timer.tick(); });
    } else {
        timer.tick();
    }
}

}  // namespace squadlink
