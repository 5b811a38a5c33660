#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "backends/linux/HostResolver.h"
#include "platform/UdpSocket.h"

class QSocketNotifier;

namespace squadlink {

// The program's UDP socket on Linux: a non-blocking IPv4 socket watched by the Qt event loop.
// Arrivals and the asynchronous "connection reset" (an ICMP port-unreachable for an earlier
// datagram) are reported from the event loop, never from inside sendData, and the events
// handler may close and rebind the socket from inside either event.
// The object must not be destroyed from inside one of its own events.
class LinuxUdpSocket : public UdpSocket {
public:
    // bindAddress: dotted IPv4 address to bind; "0.0.0.0" means all addresses of the machine.
    // lookup: stands in for the system resolver in tests.
    explicit LinuxUdpSocket(std::string bindAddress = "0.0.0.0", HostResolver::Lookup lookup = {});
    ~LinuxUdpSocket() override;
    LinuxUdpSocket(const LinuxUdpSocket&) = delete;
    LinuxUdpSocket& operator=(const LinuxUdpSocket&) = delete;
    LinuxUdpSocket(LinuxUdpSocket&&) = delete;
    LinuxUdpSocket& operator=(LinuxUdpSocket&&) = delete;

    void setEvents(UdpSocketEvents* events) override { m_events = events; }
    void bind(std::uint16_t localPort) override;
    void close() override;
    void setRemoteHost(std::string_view host) override { m_remoteHost = host; }
    void setRemotePort(std::uint16_t port) override { m_remotePort = port; }
    void sendData(std::string_view bytes) override;
    std::string localIp() const override;
    std::string localHostName() const override;

private:
    // Owns one file descriptor.
    class Descriptor {
    public:
        Descriptor() = default;
        explicit Descriptor(int fd) : m_fd(fd) {}
        ~Descriptor() { reset(); }
        Descriptor(const Descriptor&) = delete;
        Descriptor& operator=(const Descriptor&) = delete;
        Descriptor(Descriptor&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
        Descriptor& operator=(Descriptor&& other) noexcept;
        int get() const { return m_fd; }
        bool valid() const { return m_fd >= 0; }
        void reset();

    private:
        int m_fd = -1;
    };

    void open(std::uint16_t localPort);
    void onReadable();
    // Empties the socket's error queue without raising events; returns whether a refusal
    // (ICMP port or protocol unreachable) was among the entries.
    bool drainErrorQueue(bool* unreachable = nullptr);
    void scheduleResetReport();
    void reportPendingReset();

    std::string m_bindAddress;
    HostResolver m_resolver;
    UdpSocketEvents* m_events = nullptr;
    std::string m_remoteHost;
    std::uint16_t m_remotePort = 0;
    Descriptor m_socket;
    std::unique_ptr<QSocketNotifier> m_notifier;
    // Advanced by every close and bind, so that a loop or a queued report that started on an
    // earlier socket notices that the handler has replaced it.
    std::uint64_t m_generation = 0;
    bool m_resetPending = false;
    // Left unfilled: the kernel writes each datagram, and a start does not touch 64 KiB for
    // nothing.
    std::unique_ptr<char[]> m_buffer;
};

}  // namespace squadlink
