#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace squadlink {

// One received datagram: the bytes exactly as they arrived and the sender's dotted IPv4 text.
struct Datagram {
    std::string data;
    std::string senderIp;
};

class UdpSocketEvents {
public:
    virtual ~UdpSocketEvents() = default;
    virtual void onDataArrival(const Datagram& datagram) = 0;
    virtual void onSocketError(int number, const std::string& description) = 0;
};

// The program's one UDP socket. Failures are thrown as RuntimeError with the numbers the
// handlers test for (10048 address in use, 10054 reset, 10065 unreachable, 10014 bad address).
class UdpSocket {
public:
    virtual ~UdpSocket() = default;
    virtual void setEvents(UdpSocketEvents* events) = 0;
    virtual void bind(std::uint16_t localPort) = 0;
    virtual void close() = 0;
    virtual void setRemoteHost(std::string_view host) = 0;
    virtual void setRemotePort(std::uint16_t port) = 0;
    virtual void sendData(std::string_view bytes) = 0;
    virtual std::string localIp() const = 0;
    virtual std::string localHostName() const = 0;
};

}  // namespace squadlink
