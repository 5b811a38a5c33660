#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "backends/linux/LinuxUdpSocket.h"
#include "platform/RuntimeError.h"

namespace squadlink {
namespace {

class Inbox : public UdpSocketEvents {
public:
    void onDataArrival(const Datagram& datagram) override { datagrams.push_back(datagram); }
    void onSocketError(int number, const std::string&) override { errors.push_back(number); }
    std::vector<Datagram> datagrams;
    std::vector<int> errors;
};

std::uint16_t checksum(const unsigned char* data, std::size_t size) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        sum += static_cast<std::uint32_t>(data[i] << 8 | data[i + 1]);
    }
    if (size % 2 != 0) {
        sum += static_cast<std::uint32_t>(data[size - 1] << 8);
    }
    while ((sum >> 16) != 0) {
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return static_cast<std::uint16_t>(~sum);
}

// What a router sends back for a datagram from `from`:`fromPort` to an unreachable host: an
// ICMP "host unreachable" quoting the datagram's IP and UDP headers. Needs a raw socket.
bool reportHostUnreachable(const std::string& from, std::uint16_t fromPort,
                           const std::string& unreachableHost) {
    const int raw = ::socket(AF_INET, SOCK_RAW, IPPROTO_ICMP);
    if (raw < 0) {
        return false;
    }
    std::array<unsigned char, 8 + 20 + 8> packet{};
    packet[0] = 3;  // destination unreachable
    packet[1] = 1;  // host unreachable
    unsigned char* ip = packet.data() + 8;
    ip[0] = 0x45;
    ip[3] = 28 + 4;
    ip[8] = 64;
    ip[9] = IPPROTO_UDP;
    in_addr source{};
    in_addr destination{};
    inet_pton(AF_INET, from.c_str(), &source);
    inet_pton(AF_INET, unreachableHost.c_str(), &destination);
    std::memcpy(ip + 12, &source, 4);
    std::memcpy(ip + 16, &destination, 4);
    const std::uint16_t ipSum = htons(checksum(ip, 20));
    std::memcpy(ip + 10, &ipSum, 2);
    unsigned char* udp = ip + 20;
    const std::uint16_t sourcePort = htons(fromPort);
    const std::uint16_t destinationPort = htons(27221);
    const std::uint16_t udpLength = htons(12);
    std::memcpy(udp, &sourcePort, 2);
    std::memcpy(udp + 2, &destinationPort, 2);
    std::memcpy(udp + 4, &udpLength, 2);
    const std::uint16_t icmpSum = htons(checksum(packet.data(), packet.size()));
    std::memcpy(packet.data() + 2, &icmpSum, 2);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr = source;
    const bool sent =
        ::sendto(raw, packet.data(), packet.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                 sizeof to) == static_cast<ssize_t>(packet.size());
    ::close(raw);
    // The report is handled by the kernel on the way in; give it a moment.
    QThread::msleep(50);
    return sent;
}

// An unreachable report for an earlier datagram to one Fighter stays pending on the socket
// and used to fail the next send, whatever its addressee: the War Arranger then dropped an
// innocent Fighter. It belongs to the earlier datagram; the next send goes out.
TEST(PendingUnreachable, DoesNotFailTheNextSendToAnotherHost) {
    LinuxUdpSocket arranger("127.0.0.2");
    LinuxUdpSocket fighter("127.0.0.11");
    Inbox arrangerInbox;
    Inbox fighterInbox;
    arranger.setEvents(&arrangerInbox);
    fighter.setEvents(&fighterInbox);
    arranger.bind(27220);
    fighter.bind(27221);
    if (!reportHostUnreachable("127.0.0.2", 27220, "10.77.0.1")) {
        GTEST_SKIP() << "needs a raw socket (root in the test's network namespace)";
    }
    arranger.setRemoteHost("127.0.0.11");
    arranger.setRemotePort(27221);
    try {
        arranger.sendData("hello");
    } catch (const RuntimeError& error) {
        FAIL() << "send failed with " << error.number();
    }
    const QDeadlineTimer deadline(5000);
    while (fighterInbox.datagrams.empty() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    ASSERT_EQ(fighterInbox.datagrams.size(), 1u);
    EXPECT_EQ(fighterInbox.datagrams[0].data, "hello");
    // Not a refusal: nothing to report as a reset.
    EXPECT_TRUE(arrangerInbox.errors.empty());
}

// A send that fails on its own (no route at all) still fails as unreachable.
TEST(PendingUnreachable, OwnUnreachableSendStillFails) {
    LinuxUdpSocket arranger("127.0.0.2");
    arranger.bind(27220);
    arranger.setRemoteHost("203.0.113.9");
    arranger.setRemotePort(27221);
    int number = 0;
    try {
        arranger.sendData("hello");
    } catch (const RuntimeError& error) {
        number = error.number();
    }
    // Inside a namespace with loopback only there is no route out.
    EXPECT_EQ(number, err::HostUnreachable);
}

}  // namespace
}  // namespace squadlink
