#pragma once

#include <functional>
#include <string>

namespace squadlink {

// Finds the copy of the same version already running and talks to it. The name of the channel
// is derived from the application caption, so only the same version is found.
class InstanceChannel {
public:
    enum class Request { UrlExec, Activate };
    virtual ~InstanceChannel() = default;
    // True when another copy answers on the channel.
    virtual bool otherInstanceRunning() = 0;
    // Sends a request and waits (bounded) until the running copy has handled it.
    virtual bool send(Request request) = 0;
    // First copy: serve requests; a stale channel left by a crashed copy is replaced.
    virtual bool listen(std::function<void(Request)> handler) = 0;
    virtual void stop() = 0;
};

}  // namespace squadlink
