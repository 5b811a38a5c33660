#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QUdpSocket>
#include <string>
#include <vector>

#include "backends/linux/LinuxUdpSocket.h"
#include "platform/RuntimeError.h"

namespace squadlink {
namespace {

class Inbox : public UdpSocketEvents {
public:
    void onDataArrival(const Datagram& datagram) override { datagrams.push_back(datagram); }
    void onSocketError(int, const std::string&) override {}
    std::vector<Datagram> datagrams;
};

std::uint32_t ipv4(const char* text) {
    in_addr address{};
    inet_pton(AF_INET, text, &address);
    return address.s_addr;
}

int errorOf(LinuxUdpSocket& socket, const std::string& host) {
    socket.setRemoteHost(host);
    socket.setRemotePort(27221);
    try {
        socket.sendData("x");
    } catch (const RuntimeError& error) {
        return error.number();
    }
    return 0;
}

// Sends to a host name used to ask the resolver every time, on the window's thread.
TEST(HostResolver, NameIsLookedUpOncePerChangeOfAddress) {
    std::vector<std::string> lookups;
    LinuxUdpSocket arranger("127.0.0.2", [&](const std::string& host, std::chrono::milliseconds) {
        lookups.push_back(host);
        return host == "nowhere.example" ? std::nullopt
                                         : std::optional<std::uint32_t>(ipv4("127.0.0.11"));
    });
    LinuxUdpSocket fighter("127.0.0.11");
    Inbox inbox;
    fighter.setEvents(&inbox);
    arranger.bind(27220);
    fighter.bind(27221);

    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(errorOf(arranger, "fighter.example"), 0);
    }
    EXPECT_EQ(lookups, std::vector<std::string>{"fighter.example"});
    EXPECT_EQ(errorOf(arranger, "127.0.0.11"), 0);
    EXPECT_EQ(errorOf(arranger, "other.example"), 0);
    EXPECT_EQ(errorOf(arranger, "fighter.example"), 0);
    EXPECT_EQ(lookups.size(), 3u);
    // A name that does not resolve is not reachable, and is asked again next time.
    EXPECT_EQ(errorOf(arranger, "nowhere.example"), err::HostUnreachable);
    EXPECT_EQ(errorOf(arranger, "nowhere.example"), err::HostUnreachable);
    EXPECT_EQ(lookups.size(), 5u);

    const QDeadlineTimer deadline(5000);
    while (inbox.datagrams.size() < 23 && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_EQ(inbox.datagrams.size(), 23u);
}

TEST(HostResolver, SystemResolverFindsLocalNames) {
    LinuxUdpSocket arranger("127.0.0.2");
    arranger.bind(27220);
    EXPECT_EQ(errorOf(arranger, "localhost"), 0);
}

// A name server that never answers used to freeze the window for the resolver's whole retry
// time (ten seconds and more); the wait is bounded now.
TEST(HostResolver, SilentNameServerIsGivenUpOnWithinTheBound) {
    if (qEnvironmentVariableIsEmpty("SQUADLINK_TEST_NETNS")) {
        GTEST_SKIP() << "plays the name server inside the test's own network namespace";
    }
    QFile conf("/etc/resolv.conf");
    ASSERT_TRUE(conf.open(QIODevice::ReadOnly));
    QString server;
    for (const QByteArray& line : conf.readAll().split('\n')) {
        if (line.startsWith("nameserver")) {
            server = QString::fromLatin1(line.mid(10).trimmed());
            break;
        }
    }
    if (server.isEmpty() || server.contains(':')) {
        GTEST_SKIP() << "no IPv4 name server configured";
    }
    if (!server.startsWith("127.")) {
        QProcess::execute("ip", {"addr", "add", server + "/32", "dev", "lo"});
    }
    QUdpSocket silent;
    ASSERT_TRUE(silent.bind(QHostAddress(server), 53));

    LinuxUdpSocket arranger("127.0.0.2");
    arranger.bind(27220);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(errorOf(arranger, "wa.squadlink-test.example"), err::HostUnreachable);
    EXPECT_LT(clock.elapsed(), 4500);
}

}  // namespace
}  // namespace squadlink
