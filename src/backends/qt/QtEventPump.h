#pragma once

#include "platform/EventPump.h"

namespace squadlink {

// Runs whatever is pending in the Qt event loop once, without waiting for more.
class QtEventPump : public EventPump {
public:
    void doEvents() override;
};

}  // namespace squadlink
