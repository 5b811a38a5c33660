#pragma once

#include "core/ActionLock.h"
#include "link/LinkContext.h"

namespace squadlink {

// The received-datagram limit per t1sec tick, the half-second user-action lock and the
// 30-second reply time-out.
class FloodGuard : public ActionLock {
public:
    static constexpr int kDatagramLimit = 50;

    explicit FloodGuard(LinkContext& context) : m_ctx(context) {}

    // Counts one arrival; past the limit the socket is closed and the program ends.
    void countDatagram();
    // The shared lock of Connect, Send, Scan, Ping and chat: false (after the warning) while
    // it runs, otherwise restarts it.
    bool acquireLock() override;
    void tFlood_Timer();
    void tTimeout_Timer();
    // A new second, or a new mode: the count starts again.
    void resetCount() { m_datagramCount = 0; }
    int datagramCount() const { return m_datagramCount; }

private:
    LinkContext& m_ctx;
    int m_datagramCount = 0;
};

}  // namespace squadlink
