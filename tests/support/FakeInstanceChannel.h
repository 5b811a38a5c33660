#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/InstanceChannel.h"

namespace squadlink {

// Another copy is "running" when `running` is set; requests sent to it are recorded, and a
// listening copy receives what a test delivers.
class FakeInstanceChannel : public InstanceChannel {
public:
    bool otherInstanceRunning() override { return running; }
    bool send(Request request) override {
        sent.push_back(request);
        if (onSend) {
            onSend(request);
        }
        return running;
    }
    bool listen(std::function<void(Request)> handler) override {
        m_handler = std::move(handler);
        listening = true;
        return true;
    }
    void stop() override { listening = false; }
    void deliver(Request request) {
        if (m_handler) {
            m_handler(request);
        }
    }
    bool running = false;
    bool listening = false;
    std::vector<Request> sent;
    std::function<void(Request)> onSend;

private:
    std::function<void(Request)> m_handler;
};

}  // namespace squadlink
