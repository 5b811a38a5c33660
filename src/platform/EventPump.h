#pragma once

namespace squadlink {

// "Let pending events run": socket arrivals, timer ticks and user input queued while a
// handler runs are dispatched here, so handlers must expect re-entrant changes across it.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void doEvents() = 0;
};

}  // namespace squadlink
