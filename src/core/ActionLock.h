#pragma once

namespace squadlink {

// The half-second lock shared by the user's actions that send (Connect, Send, Scan, Ping and
// chat Enter): false, after the warning, while it runs; otherwise it starts again.
class ActionLock {
public:
    virtual ~ActionLock() = default;
    virtual bool acquireLock() = 0;
};

}  // namespace squadlink
