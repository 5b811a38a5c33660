#include "backends/linux/LinuxUdpSocket.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <linux/errqueue.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QTimer>
#include <array>
#include <cerrno>
#include <cstring>

#include "platform/RuntimeError.h"

namespace squadlink {
namespace {

// Largest UDP payload over IPv4 is 65,507 bytes, so one datagram always fits whole.
constexpr std::size_t kReceiveBufferSize = 65536;
// How long a send waits for room in a full send buffer before giving up.
constexpr int kSendWaitMs = 1000;
// Bounds the reads of one readiness report when the socket keeps returning errors.
constexpr int kMaxConsecutiveReadErrors = 16;
// Refusals of earlier datagrams taken off the socket before a send gives up on them.
constexpr int kMaxSendAttempts = 3;

// Winsock numbers the error handlers do not test for; used so that such a failure still
// carries a recognisable number to the common error handler.
constexpr int kWouldBlock = 10035;
constexpr int kMessageSize = 10040;
constexpr int kNetworkDown = 10050;
constexpr int kNoBufferSpace = 10055;
constexpr int kTooManySockets = 10024;
constexpr int kInvalidArgument = 10022;

int errorNumberFor(int osError) {
    switch (osError) {
        case EADDRINUSE:
            return err::AddressInUse;
        case ECONNREFUSED:
            return err::ConnectionReset;
        case ENETUNREACH:
        case EHOSTUNREACH:
        case EHOSTDOWN:
        case EPERM:  // a local firewall rule rejected the datagram
            return err::HostUnreachable;
        case EADDRNOTAVAIL:
        case EINVAL:
        case EFAULT:
        case EACCES:
        case EDESTADDRREQ:
        case EAFNOSUPPORT:
            return err::BadAddress;
        case EAGAIN:
            return kWouldBlock;
        case EMSGSIZE:
            return kMessageSize;
        case ENETDOWN:
            return kNetworkDown;
        case ENOBUFS:
        case ENOMEM:
            return kNoBufferSpace;
        case EMFILE:
        case ENFILE:
            return kTooManySockets;
        default:
            return kInvalidArgument;
    }
}

RuntimeError socketError(int osError) {
    const int number = errorNumberFor(osError);
    switch (number) {
        case err::AddressInUse:
        case err::ConnectionReset:
        case err::HostUnreachable:
        case err::BadAddress:
            return RuntimeError(number);
        default:
            return RuntimeError(number, std::strerror(osError));
    }
}

bool parseIpv4(const std::string& text, in_addr& address) {
    return inet_pton(AF_INET, text.c_str(), &address) == 1;
}

std::string dottedIpv4(const in_addr& address) {
    std::array<char, INET_ADDRSTRLEN> text{};
    if (inet_ntop(AF_INET, &address, text.data(), text.size()) == nullptr) {
        return {};
    }
    return text.data();
}

sockaddr_in destinationFor(HostResolver& resolver, const std::string& host, std::uint16_t port) {
    // An embedded NUL would silently shorten the name handed to the resolver.
    if (host.empty() || host.find('\0') != std::string::npos) {
        throw RuntimeError(err::BadAddress);
    }
    const std::optional<std::uint32_t> address = resolver.resolve(host);
    if (!address) {
        throw RuntimeError(err::HostUnreachable);
    }
    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_addr.s_addr = *address;
    destination.sin_port = htons(port);
    return destination;
}

// Sends once, waiting a bounded time if the send buffer is full; returns 0 or the errno.
int sendOnce(int fd, std::string_view bytes, const sockaddr_in& destination) {
    for (;;) {
        const ssize_t sent =
            ::sendto(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL,
                     reinterpret_cast<const sockaddr*>(&destination), sizeof destination);
        if (sent >= 0) {
            return 0;
        }
        const int error = errno;
        if (error == EINTR) {
            continue;
        }
        if (error == EAGAIN || error == EWOULDBLOCK) {
            pollfd waiter{fd, POLLOUT, 0};
            if (::poll(&waiter, 1, kSendWaitMs) > 0 && (waiter.revents & POLLOUT) != 0) {
                continue;
            }
        }
        return error;
    }
}

}  // namespace

LinuxUdpSocket::Descriptor& LinuxUdpSocket::Descriptor::operator=(Descriptor&& other) noexcept {
    if (this != &other) {
        reset();
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

void LinuxUdpSocket::Descriptor::reset() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

LinuxUdpSocket::LinuxUdpSocket(std::string bindAddress, HostResolver::Lookup lookup)
    : m_bindAddress(std::move(bindAddress)),
      m_resolver(std::move(lookup)),
      m_buffer(std::make_unique_for_overwrite<char[]>(kReceiveBufferSize)) {
}

LinuxUdpSocket::~LinuxUdpSocket() {
    close();
}

void LinuxUdpSocket::bind(std::uint16_t localPort) {
    open(localPort);
}

void LinuxUdpSocket::open(std::uint16_t localPort) {
    close();
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(localPort);
    if (!parseIpv4(m_bindAddress, local.sin_addr)) {
        throw RuntimeError(err::BadAddress);
    }
    Descriptor socket(::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!socket.valid()) {
        throw socketError(errno);
    }
    // Without IP_RECVERR Linux drops ICMP errors for unconnected UDP sockets, and the program
    // relies on hearing about a refused datagram. SO_REUSEADDR stays off on purpose: a second
    // copy of the program must fail to bind the same port.
    const int on = 1;
    if (::setsockopt(socket.get(), SOL_IP, IP_RECVERR, &on, sizeof on) != 0) {
        throw socketError(errno);
    }
    if (::bind(socket.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        throw socketError(errno);
    }
    m_socket = std::move(socket);
    ++m_generation;
    if (!m_notifier) {
        // One notifier for the object's lifetime: a close from inside its own activation
        // only disables it, so nothing is deleted while Qt is still emitting.
        m_notifier = std::make_unique<QSocketNotifier>(QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(),
                         [this] { onReadable(); });
    }
    m_notifier->setSocket(m_socket.get());
    m_notifier->setEnabled(true);
}

void LinuxUdpSocket::close() {
    if (!m_socket.valid()) {
        return;
    }
    if (m_notifier) {
        m_notifier->setEnabled(false);
    }
    m_socket.reset();
    ++m_generation;
    // A refusal of a datagram sent from the old socket says nothing about the new one.
    m_resetPending = false;
}

void LinuxUdpSocket::sendData(std::string_view bytes) {
    const sockaddr_in destination = destinationFor(m_resolver, m_remoteHost, m_remotePort);
    if (!m_socket.valid()) {
        // Sending on a closed socket binds it to a free port first, as an unbound UDP socket
        // does; this happens while the program rebinds and lets events run in between, and the
        // datagram is better sent from a passing port than failed (replies go to the fixed
        // ports anyway). The next bind replaces the socket.
        open(0);
    }
    int error = sendOnce(m_socket.get(), bytes, destination);
    for (int attempt = 0; attempt < kMaxSendAttempts; ++attempt) {
        if (error == ECONNREFUSED) {
            // The refusal belongs to an earlier datagram: with IP_RECVERR the kernel keeps it
            // pending and fails the next send with it, although this datagram is fine. Take
            // the refusal off the socket, send again, and report the reset from the event loop
            // so that the handler never runs in the middle of a send.
            drainErrorQueue();
            m_resetPending = true;
            scheduleResetReport();
        } else if (error == EHOSTUNREACH || error == ENETUNREACH || error == EHOSTDOWN) {
            // The same for an unreachable report, but only when one is queued: then it answers
            // an earlier datagram to some other host, and blaming this addressee for it would
            // drop an innocent Fighter. Without a queued report the failure is this send's own
            // (no route), and stands.
            bool unreachable = false;
            drainErrorQueue(&unreachable);
            if (!unreachable) {
                break;
            }
        } else {
            break;
        }
        error = sendOnce(m_socket.get(), bytes, destination);
    }
    if (error != 0) {
        throw socketError(error);
    }
}

bool LinuxUdpSocket::drainErrorQueue(bool* unreachable) {
    bool refused = false;
    while (m_socket.valid()) {
        alignas(cmsghdr) std::array<char, 512> control{};
        std::array<char, 1> payload{};
        iovec chunk{payload.data(), payload.size()};
        msghdr message{};
        message.msg_iov = &chunk;
        message.msg_iovlen = 1;
        message.msg_control = control.data();
        message.msg_controllen = control.size();
        if (::recvmsg(m_socket.get(), &message, MSG_ERRQUEUE | MSG_DONTWAIT) < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr;
             header = CMSG_NXTHDR(&message, header)) {
            if (header->cmsg_level != SOL_IP || header->cmsg_type != IP_RECVERR) {
                continue;
            }
            sock_extended_err report{};
            std::memcpy(&report, CMSG_DATA(header), sizeof report);
            // Only a refusal means "reset" on the platform the program was written for; host
            // and network unreachable reports for earlier datagrams are not errors there.
            if (report.ee_origin == SO_EE_ORIGIN_ICMP && report.ee_errno == ECONNREFUSED) {
                refused = true;
            } else if (report.ee_origin == SO_EE_ORIGIN_ICMP && unreachable != nullptr) {
                *unreachable = true;
            }
        }
    }
    return refused;
}

void LinuxUdpSocket::onReadable() {
    const std::uint64_t generation = m_generation;
    if (drainErrorQueue()) {
        m_resetPending = true;
    }
    int consecutiveErrors = 0;
    while (m_generation == generation && m_socket.valid() &&
           consecutiveErrors < kMaxConsecutiveReadErrors) {
        sockaddr_in sender{};
        socklen_t senderSize = sizeof sender;
        const ssize_t received =
            ::recvfrom(m_socket.get(), m_buffer.get(), kReceiveBufferSize, MSG_DONTWAIT,
                       reinterpret_cast<sockaddr*>(&sender), &senderSize);
        if (received < 0) {
            const int error = errno;
            if (error == EAGAIN || error == EWOULDBLOCK) {
                break;
            }
            // A pending ICMP error is returned once by the next read, ahead of queued
            // datagrams; its error-queue entry is still there and is taken off with it.
            ++consecutiveErrors;
            if (drainErrorQueue() || error == ECONNREFUSED) {
                m_resetPending = true;
            }
            continue;
        }
        consecutiveErrors = 0;
        // Copied out before the handler runs: it may let events run and read into the buffer.
        Datagram datagram{std::string(m_buffer.get(), static_cast<std::size_t>(received)),
                          dottedIpv4(sender.sin_addr)};
        if (m_events != nullptr) {
            m_events->onDataArrival(datagram);
        }
    }
    // Datagrams that arrived before the refusal are delivered first, because the usual answer
    // to a reset is to rebind, which discards whatever is still queued.
    if (m_generation == generation) {
        reportPendingReset();
    }
}

void LinuxUdpSocket::scheduleResetReport() {
    QTimer::singleShot(0, m_notifier.get(), [this, generation = m_generation] {
        if (m_generation == generation) {
            reportPendingReset();
        }
    });
}

void LinuxUdpSocket::reportPendingReset() {
    if (!m_resetPending) {
        return;
    }
    m_resetPending = false;
    if (m_events != nullptr) {
        m_events->onSocketError(err::ConnectionReset, describeError(err::ConnectionReset));
    }
}

std::string LinuxUdpSocket::localIp() const {
    in_addr bound{};
    if (parseIpv4(m_bindAddress, bound) && bound.s_addr != htonl(INADDR_ANY)) {
        return dottedIpv4(bound);
    }
    ifaddrs* interfaces = nullptr;
    if (getifaddrs(&interfaces) != 0) {
        return "127.0.0.1";
    }
    const std::unique_ptr<ifaddrs, decltype(&freeifaddrs)> owner(interfaces, &freeifaddrs);
    for (const ifaddrs* entry = interfaces; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) {
            continue;
        }
        if ((entry->ifa_flags & IFF_UP) == 0 || (entry->ifa_flags & IFF_LOOPBACK) != 0) {
            continue;
        }
        sockaddr_in address{};
        std::memcpy(&address, entry->ifa_addr, sizeof address);
        return dottedIpv4(address.sin_addr);
    }
    return "127.0.0.1";
}

std::string LinuxUdpSocket::localHostName() const {
    std::array<char, 256> name{};
    if (gethostname(name.data(), name.size() - 1) != 0) {
        return {};
    }
    return name.data();
}

}  // namespace squadlink
