#pragma once

#include <string_view>

namespace squadlink {

// The Fighter's channel for reporting a game ping to its War Arranger.
class PingReportSender {
public:
    virtual ~PingReportSender() = default;
    virtual void sendPingReport(std::string_view ping, std::string_view server) = 0;
};

}  // namespace squadlink
