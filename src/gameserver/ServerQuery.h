#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/ActionLock.h"
#include "core/Context.h"
#include "core/GameServerReplies.h"
#include "core/PingReportSender.h"
#include "gameserver/ServerReply.h"

namespace squadlink {

// The War Arranger's scan of the game server and the Fighter's ping and report, through the
// program's one socket. Only one query is outstanding at a time (they share nQueryClock and
// the flood lock); a reply nobody asked for changes nothing.
class ServerQuery : public GameServerReplies {
public:
    // Factors the round trip is scaled by, kept from the program's first versions so that
    // pings compare with what players are used to.
    static constexpr float kPingFactor = 1.08F;
    static constexpr float kScanFactor = 0.92F;

    ServerQuery(const Context& context, PingReportSender& reports, ActionLock& lock)
        : m_ctx(context), m_reports(reports), m_lock(lock) {}

    void coScan_Click();
    void coPingGame_Click();
    void coSendPing_Click();
    // Fills the server details from the older detailed reply; nothing at all when the reply
    // or the round trip is refused.
    void ShowServerDetails(std::string_view reply);
    // Empties the War Arranger's server details.
    void clearServerDetails();

    bool takeGameServerReply(std::string_view datagram) override;

    // Called whenever a reply came in; the banner's rotation goes on from there.
    void setResumeBanner(std::function<void()> resume) { m_resumeBanner = std::move(resume); }

    // The round trip in whole milliseconds for an elapsed time, scaled and rounded (halves to
    // the even number) in single precision as the factors are.
    static std::int64_t roundTrip(std::int64_t elapsedUs, float factor);

private:
    enum class Pending { None, Scan, Ping };

    // Points the socket at the address and sends; false (after the address was handled) when
    // the port is not usable.
    bool send(const std::string& address, const std::string& query);
    void sendAgain(const std::string& query);
    void showDetails(const ServerDetails& details);
    std::int64_t finishRoundTrip(float factor);
    void resumeBanner();

    Context m_ctx;
    PingReportSender& m_reports;
    ActionLock& m_lock;
    std::function<void()> m_resumeBanner;
    Pending m_pending = Pending::None;
    std::int64_t m_sentUs = 0;
    int m_challengesAnswered = 0;
};

}  // namespace squadlink
