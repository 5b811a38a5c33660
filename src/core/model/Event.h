#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace squadlink {

// A control's event: the behaviour connects its handler, the window binding connects its
// mirror. Handlers run in connection order.
template <typename... Args>
class Event {
public:
    using Handler = std::function<void(Args...)>;
    void connect(Handler handler) { m_handlers.push_back(std::move(handler)); }
    bool connected() const { return !m_handlers.empty(); }
    void raise(Args... args) const {
        // Copy first: a handler may connect further handlers while it runs.
        const auto handlers = m_handlers;
        for (const auto& handler : handlers) {
            handler(args...);
        }
    }

private:
    std::vector<Handler> m_handlers;
};

}  // namespace squadlink
