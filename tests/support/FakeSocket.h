#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/UdpSocket.h"

namespace squadlink {

// A socket that records what was sent and lets a test deliver datagrams, fail sends by
// destination, and run code in the middle of a send.
class FakeSocket : public UdpSocket {
public:
    struct Sent {
        std::string host;
        std::uint16_t port = 0;
        std::string data;
    };

    void setEvents(UdpSocketEvents* events) override { m_events = events; }
    void bind(std::uint16_t localPort) override;
    void close() override { m_boundPort = 0; }
    void setRemoteHost(std::string_view host) override { m_remoteHost = host; }
    void setRemotePort(std::uint16_t port) override { m_remotePort = port; }
    void sendData(std::string_view bytes) override;
    std::string localIp() const override { return m_localIp; }
    std::string localHostName() const override { return m_hostName; }

    // Test side.
    void deliver(const std::string& data, const std::string& senderIp);
    void raiseError(int number, const std::string& description);
    std::uint16_t boundPort() const { return m_boundPort; }
    int bindCount() const { return m_bindCount; }
    std::vector<Sent> sent;
    std::string m_localIp = "192.168.1.10";
    std::string m_hostName = "arranger-pc";
    // Sends to these hosts fail with the mapped error number.
    std::map<std::string, int> failingHosts;
    // The next bind fails with this number (0: none); cleared after use.
    int failNextBind = 0;
    // Called after each recorded send, like a datagram arriving while the sender lets events run.
    std::function<void(const Sent&)> afterSend;

private:
    UdpSocketEvents* m_events = nullptr;
    std::string m_remoteHost;
    std::uint16_t m_remotePort = 0;
    std::uint16_t m_boundPort = 0;
    int m_bindCount = 0;
};

}  // namespace squadlink
