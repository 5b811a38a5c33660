#pragma once

#include <functional>

#include "core/Lifecycle.h"
#include "core/Messages.h"
#include "platform/RuntimeError.h"

namespace squadlink {

// The common error handler every event entry point is wrapped in: an unexpected run-time
// error is shown (error icon, title "Error"), then the window is unloaded and the program ends.
class ErrorGuard {
public:
    ErrorGuard(Messages& messages, Lifecycle& lifecycle)
        : m_messages(messages), m_lifecycle(lifecycle) {}

    [[noreturn]] void unexpected(const RuntimeError& error);
    [[noreturn]] void unexpected(const char* what);
    // Runs one event handler. Returns false when the program has ended.
    bool run(const std::function<void()>& handler);

    // "Ports needed by Squadlink are in use", then the program ends.
    [[noreturn]] void portsInUse();

private:
    Messages& m_messages;
    Lifecycle& m_lifecycle;
};

}  // namespace squadlink
