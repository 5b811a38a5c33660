#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "backends/linux/LinuxUdpSocket.h"
#include "platform/RuntimeError.h"

namespace squadlink {
namespace {

constexpr std::uint16_t kArrangerPort = 27220;
constexpr std::uint16_t kFighterPort = 27221;
const std::string kArrangerIp = "127.0.0.2";
const std::string kFighterIp = "127.0.0.11";

class RecordingEvents : public UdpSocketEvents {
public:
    void onDataArrival(const Datagram& datagram) override {
        datagrams.push_back(datagram);
        if (whenData) {
            whenData(datagram);
        }
    }
    void onSocketError(int number, const std::string& description) override {
        errors.push_back(number);
        descriptions.push_back(description);
        if (whenError) {
            whenError(number);
        }
    }

    std::vector<Datagram> datagrams;
    std::vector<int> errors;
    std::vector<std::string> descriptions;
    std::function<void(const Datagram&)> whenData;
    std::function<void(int)> whenError;
};

class UdpSocketTest : public ::testing::Test {
protected:
    UdpSocketTest()
        : m_arranger(std::make_unique<LinuxUdpSocket>(kArrangerIp)),
          m_fighter(std::make_unique<LinuxUdpSocket>(kFighterIp)) {
        m_arranger->setEvents(&m_arrangerEvents);
        m_fighter->setEvents(&m_fighterEvents);
    }

    // Lets the event loop run until the condition holds or a generous deadline passes.
    static bool pumpUntil(const std::function<bool()>& done) {
        const QDeadlineTimer deadline(5000);
        while (!done()) {
            if (deadline.hasExpired()) {
                return false;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    // Lets late or duplicate events show up before counting them.
    static void settle() {
        const QDeadlineTimer deadline(200);
        while (!deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    static void sendTo(LinuxUdpSocket& socket, const std::string& host, std::uint16_t port,
                       const std::string& bytes) {
        socket.setRemoteHost(host);
        socket.setRemotePort(port);
        socket.sendData(bytes);
    }

    static void aimAtArranger(LinuxUdpSocket& socket) {
        socket.setRemoteHost(kArrangerIp);
        socket.setRemotePort(kArrangerPort);
    }

    static int errorNumberOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const RuntimeError& error) {
            return error.number();
        }
        return 0;
    }

    RecordingEvents m_arrangerEvents;
    RecordingEvents m_fighterEvents;
    std::unique_ptr<LinuxUdpSocket> m_arranger;
    std::unique_ptr<LinuxUdpSocket> m_fighter;
};

TEST_F(UdpSocketTest, ExchangesExactBytesAndReportsSenderAddress) {
    m_arranger->bind(kArrangerPort);
    m_fighter->bind(kFighterPort);
    const std::string join("\x6c\x5d\x0b\x34\x2d\x38\x2f\x5d\x00\x80\xff", 11);
    sendTo(*m_fighter, kArrangerIp, kArrangerPort, join);
    ASSERT_TRUE(pumpUntil([&] { return m_arrangerEvents.datagrams.size() == 1; }));
    EXPECT_EQ(m_arrangerEvents.datagrams[0].data, join);
    EXPECT_EQ(m_arrangerEvents.datagrams[0].senderIp, kFighterIp);

    std::string everyByte;
    for (int value = 0; value < 256; ++value) {
        everyByte.push_back(static_cast<char>(value));
    }
    sendTo(*m_arranger, kFighterIp, kFighterPort, everyByte);
    ASSERT_TRUE(pumpUntil([&] { return m_fighterEvents.datagrams.size() == 1; }));
    EXPECT_EQ(m_fighterEvents.datagrams[0].data, everyByte);
    EXPECT_EQ(m_fighterEvents.datagrams[0].senderIp, kArrangerIp);
    EXPECT_TRUE(m_arrangerEvents.errors.empty());
    EXPECT_TRUE(m_fighterEvents.errors.empty());
}

TEST_F(UdpSocketTest, LargestAndEmptyDatagramsArriveWholeAndInOrder) {
    m_arranger->bind(kArrangerPort);
    m_fighter->bind(kFighterPort);
    std::string largest(65507, '\0');
    for (std::size_t i = 0; i < largest.size(); ++i) {
        largest[i] = static_cast<char>((i * 7 + i / 256) % 256);
    }
    sendTo(*m_fighter, kArrangerIp, kArrangerPort, largest);
    m_fighter->sendData("");
    m_fighter->sendData("x");
    ASSERT_TRUE(pumpUntil([&] { return m_arrangerEvents.datagrams.size() == 3; }));
    EXPECT_EQ(m_arrangerEvents.datagrams[0].data, largest);
    EXPECT_EQ(m_arrangerEvents.datagrams[1].data, "");
    EXPECT_EQ(m_arrangerEvents.datagrams[1].senderIp, kFighterIp);
    EXPECT_EQ(m_arrangerEvents.datagrams[2].data, "x");
}

TEST_F(UdpSocketTest, BindingAnAddressAndPortInUseThrowsAddressInUse) {
    m_arranger->bind(kArrangerPort);
    LinuxUdpSocket secondCopy(kArrangerIp);
    EXPECT_EQ(errorNumberOf([&] { secondCopy.bind(kArrangerPort); }), err::AddressInUse);
    LinuxUdpSocket allAddresses;
    EXPECT_EQ(errorNumberOf([&] { allAddresses.bind(kArrangerPort); }), err::AddressInUse);

    // Binding again on the same object replaces its own socket instead of colliding with it,
    // and the first socket keeps working after the failed attempts.
    m_arranger->bind(kArrangerPort);
    sendTo(*m_fighter, kArrangerIp, kArrangerPort, "still here");
    ASSERT_TRUE(pumpUntil([&] { return m_arrangerEvents.datagrams.size() == 1; }));
    EXPECT_EQ(m_arrangerEvents.datagrams[0].data, "still here");

    LinuxUdpSocket foreignAddress("192.0.2.250");
    EXPECT_EQ(errorNumberOf([&] { foreignAddress.bind(kArrangerPort); }), err::BadAddress);
}

TEST_F(UdpSocketTest, ResolvesHostNamesWhenSending) {
    LinuxUdpSocket receiver("127.0.0.1");
    RecordingEvents receiverEvents;
    receiver.setEvents(&receiverEvents);
    receiver.bind(kArrangerPort);
    m_fighter->bind(kFighterPort);
    sendTo(*m_fighter, "localhost", kArrangerPort, "by name");
    ASSERT_TRUE(pumpUntil([&] { return receiverEvents.datagrams.size() == 1; }));
    EXPECT_EQ(receiverEvents.datagrams[0].data, "by name");
    EXPECT_EQ(receiverEvents.datagrams[0].senderIp, kFighterIp);
}

TEST_F(UdpSocketTest, UnusableDestinationsThrowTheNumbersTheHandlersTest) {
    m_fighter->bind(kFighterPort);
    EXPECT_EQ(errorNumberOf([&] { sendTo(*m_fighter, "no-such-host.invalid", 27220, "x"); }),
              err::HostUnreachable);
    EXPECT_EQ(errorNumberOf([&] { sendTo(*m_fighter, "", kArrangerPort, "x"); }), err::BadAddress);
    EXPECT_EQ(errorNumberOf([&] { sendTo(*m_fighter, kArrangerIp, 0, "x"); }), err::BadAddress);
    // A NUL inside the name must not let a prefix of it resolve.
    EXPECT_EQ(errorNumberOf(
                  [&] { sendTo(*m_fighter, std::string("localhost\0x", 11), kArrangerPort, "x"); }),
              err::BadAddress);
    settle();
    EXPECT_TRUE(m_fighterEvents.errors.empty());
}

TEST_F(UdpSocketTest, RefusedDatagramRaisesConnectionResetFromTheEventLoop) {
    m_fighter->bind(kFighterPort);
    sendTo(*m_fighter, kArrangerIp, kArrangerPort, "nobody listens");
    ASSERT_TRUE(pumpUntil([&] { return !m_fighterEvents.errors.empty(); }));
    settle();
    ASSERT_EQ(m_fighterEvents.errors.size(), 1U);
    EXPECT_EQ(m_fighterEvents.errors[0], err::ConnectionReset);
    EXPECT_EQ(m_fighterEvents.descriptions[0], describeError(err::ConnectionReset));

    m_arranger->bind(kArrangerPort);
    m_fighter->sendData("now someone does");
    ASSERT_TRUE(pumpUntil([&] { return m_arrangerEvents.datagrams.size() == 1; }));
    EXPECT_EQ(m_arrangerEvents.datagrams[0].data, "now someone does");
}

TEST_F(UdpSocketTest, PendingRefusalNeitherFailsNorInterruptsTheNextSend) {
    m_fighter->bind(kFighterPort);
    sendTo(*m_fighter, kArrangerIp, kArrangerPort, "refused");
    // Without running the event loop the refusal stays pending on the socket, where the
    // kernel would hand it to the next send.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    m_arranger->bind(kArrangerPort);
    EXPECT_NO_THROW(m_fighter->sendData("accepted"));
    EXPECT_TRUE(m_fighterEvents.errors.empty()) << "error event ran inside sendData";

    ASSERT_TRUE(pumpUntil(
        [&] { return m_arrangerEvents.datagrams.size() == 1 && !m_fighterEvents.errors.empty(); }));
    settle();
    EXPECT_EQ(m_arrangerEvents.datagrams[0].data, "accepted");
    ASSERT_EQ(m_fighterEvents.errors.size(), 1U);
    EXPECT_EQ(m_fighterEvents.errors[0], err::ConnectionReset);
}

TEST_F(UdpSocketTest, HandlerMayCloseAndRebindInsideTheResetEvent) {
    m_fighter->bind(kFighterPort);
    m_fighterEvents.whenError = [&](int) {
        m_fighter->close();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        m_fighter->bind(kFighterPort);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    };
    sendTo(*m_fighter, kArrangerIp, kArrangerPort, "one");
    m_fighter->sendData("two");
    ASSERT_TRUE(pumpUntil([&] { return !m_fighterEvents.errors.empty(); }));
    settle();
    m_fighterEvents.whenError = nullptr;

    m_arranger->bind(kArrangerPort);
    sendTo(*m_arranger, kFighterIp, kFighterPort, "after rebind");
    ASSERT_TRUE(pumpUntil([&] { return m_fighterEvents.datagrams.size() == 1; }));
    EXPECT_EQ(m_fighterEvents.datagrams[0].data, "after rebind");
    m_fighter->sendData("reply");
    ASSERT_TRUE(pumpUntil([&] { return m_arrangerEvents.datagrams.size() == 1; }));
}

TEST_F(UdpSocketTest, HandlerLettingEventsRunSeesEveryDatagramOnceInOrder) {
    m_arranger->bind(kArrangerPort);
    m_fighter->bind(kFighterPort);
    m_arrangerEvents.whenData = [](const Datagram&) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    };
    aimAtArranger(*m_fighter);
    for (int i = 0; i < 20; ++i) {
        m_fighter->sendData("message " + std::to_string(i));
    }
    ASSERT_TRUE(pumpUntil([&] { return m_arrangerEvents.datagrams.size() >= 20; }));
    settle();
    ASSERT_EQ(m_arrangerEvents.datagrams.size(), 20U);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(m_arrangerEvents.datagrams[i].data, "message " + std::to_string(i));
    }
}

TEST_F(UdpSocketTest, HandlerMayCloseAndRebindInsideTheArrivalEvent) {
    m_arranger->bind(kArrangerPort);
    m_fighter->bind(kFighterPort);
    int rebinds = 0;
    m_arrangerEvents.whenData = [&](const Datagram&) {
        if (rebinds++ == 0) {
            m_arranger->close();
            m_arranger->bind(kArrangerPort);
        }
    };
    aimAtArranger(*m_fighter);
    m_fighter->sendData("first");
    m_fighter->sendData("queued on the old socket");
    ASSERT_TRUE(pumpUntil([&] { return !m_arrangerEvents.datagrams.empty(); }));
    settle();
    m_fighter->sendData("to the new socket");
    ASSERT_TRUE(
        pumpUntil([&] { return m_arrangerEvents.datagrams.back().data == "to the new socket"; }));
    EXPECT_EQ(m_arrangerEvents.datagrams.front().data, "first");
}

TEST_F(UdpSocketTest, SendingOnAClosedSocketSendsFromItsAddress) {
    m_arranger->bind(kArrangerPort);
    aimAtArranger(*m_fighter);
    m_fighter->sendData("unbound");
    ASSERT_TRUE(pumpUntil([&] { return m_arrangerEvents.datagrams.size() == 1; }));
    EXPECT_EQ(m_arrangerEvents.datagrams[0].senderIp, kFighterIp);
    // The fixed port is still free for the real bind.
    EXPECT_NO_THROW(m_fighter->bind(kFighterPort));
}

TEST_F(UdpSocketTest, ReportsItsOwnAddressAndName) {
    EXPECT_EQ(m_arranger->localIp(), kArrangerIp);
    const std::string primary = LinuxUdpSocket().localIp();
    in_addr parsed{};
    EXPECT_EQ(inet_pton(AF_INET, primary.c_str(), &parsed), 1) << primary;
    EXPECT_NE(primary, "0.0.0.0");
    EXPECT_FALSE(m_arranger->localHostName().empty());
}

}  // namespace
}  // namespace squadlink
