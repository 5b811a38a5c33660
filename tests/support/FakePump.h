#pragma once

#include <deque>
#include <functional>

#include "platform/EventPump.h"

namespace squadlink {

// Runs whatever the test queued, once per "let pending events run".
class FakePump : public EventPump {
public:
    void doEvents() override {
        ++calls;
        while (!queued.empty()) {
            auto next = std::move(queued.front());
            queued.pop_front();
            next();
        }
    }
    std::deque<std::function<void()>> queued;
    int calls = 0;
};

}  // namespace squadlink
