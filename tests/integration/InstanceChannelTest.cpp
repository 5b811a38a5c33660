#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <future>
#include <memory>
#include <vector>

#include "backends/qt/QtInstanceChannel.h"
#include "support/WaitFor.h"

using namespace squadlink;
using squadlink::test::waitFor;
using Request = InstanceChannel::Request;

namespace {

const std::string kCaption = "Squadlink channel test";
// The most silent connections the running copy keeps open at once.
constexpr int kKeptConnections = 8;

int openDescriptors() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}

void runEventLoop(int ms) {
    waitFor([] { return false; }, ms);
}

sockaddr_un addressOf(const QString& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    std::memcpy(address.sun_path, native.constData(), static_cast<std::size_t>(native.size()));
    return address;
}

// A peer that speaks the wire directly, as a misbehaving process would. Connecting lets the
// event loop run while the listener's queue is full.
class RawPeer {
public:
    explicit RawPeer(const QString& path)
        : m_fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)) {
        const sockaddr_un address = addressOf(path);
        const auto* name = reinterpret_cast<const sockaddr*>(&address);
        waitFor([&] {
            m_connected = ::connect(m_fd, name, sizeof address) == 0;
            return m_connected || errno != EAGAIN;
        });
    }
    ~RawPeer() { ::close(m_fd); }
    RawPeer(const RawPeer&) = delete;
    RawPeer& operator=(const RawPeer&) = delete;

    bool connected() const { return m_connected; }
    void write(const std::string& bytes) {
        ASSERT_EQ(::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(bytes.size()));
    }
    // What the channel has answered so far; "closed" once it has hung up and all was read.
    std::string answer() {
        char byte = 0;
        for (;;) {
            const ssize_t got = ::recv(m_fd, &byte, 1, MSG_DONTWAIT);
            if (got == 1) {
                m_answer += byte;
            } else if (got == 0 || errno == ECONNRESET) {
                return m_answer + "closed";
            } else {
                return m_answer;
            }
        }
    }

private:
    int m_fd;
    bool m_connected = false;
    std::string m_answer;
};

// Two copies meet through real Unix sockets in a private runtime folder of the test's own.
class InstanceChannelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_root.isValid());
        m_savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        useRuntimeFolder(m_root.filePath("run"));
    }
    void TearDown() override { qputenv("XDG_RUNTIME_DIR", m_savedRuntime); }

    static void useRuntimeFolder(const QString& folder) {
        QDir().mkpath(folder);
        ::chmod(QFile::encodeName(folder).constData(), 0700);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
    }
    static QString socketPath() { return QtInstanceChannel::channelName(kCaption); }
    static bool socketFileExists() {
        struct stat info {};
        return ::lstat(QFile::encodeName(socketPath()).constData(), &info) == 0;
    }

    // A second copy, started while the first runs its event loop.
    static std::future<bool> handOver(Request request) {
        return std::async(std::launch::async, [request] {
            QtInstanceChannel second(kCaption);
            return second.otherInstanceRunning() && second.send(request);
        });
    }
    // Runs the event loop until the second copy is done and the first has handled the request.
    bool handedOver(Request request) {
        const std::size_t before = m_handled.size();
        std::future<bool> answered = handOver(request);
        const bool done = waitFor([&] {
            return answered.wait_for(std::chrono::seconds(0)) == std::future_status::ready &&
                   m_handled.size() > before;
        });
        return done && answered.get() && m_handled.size() == before + 1 &&
               m_handled.back() == request;
    }
    bool listen(QtInstanceChannel& channel) {
        return channel.listen([this](Request request) { m_handled.push_back(request); });
    }

    QTemporaryDir m_root;
    QByteArray m_savedRuntime;
    std::vector<Request> m_handled;
};

TEST_F(InstanceChannelTest, ASecondCopyFindsTheFirstAndBothRequestsAreHandled) {
    QtInstanceChannel first(kCaption);
    EXPECT_FALSE(first.otherInstanceRunning());
    EXPECT_FALSE(first.send(Request::Activate));
    EXPECT_FALSE(socketFileExists());
    ASSERT_TRUE(listen(first));
    EXPECT_TRUE(handedOver(Request::UrlExec));
    EXPECT_TRUE(handedOver(Request::Activate));

    // Another version has a channel of its own.
    QtInstanceChannel otherVersion("Squadlink another version");
    EXPECT_FALSE(otherVersion.otherInstanceRunning());
    EXPECT_FALSE(otherVersion.send(Request::Activate));
}

TEST_F(InstanceChannelTest, AStaleSocketFileLeftByACrashedCopyIsReplaced) {
    const int crashed = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const sockaddr_un address = addressOf(socketPath());
    ASSERT_EQ(::bind(crashed, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(crashed);
    ASSERT_TRUE(socketFileExists());

    QtInstanceChannel first(kCaption);
    EXPECT_FALSE(first.otherInstanceRunning());
    ASSERT_TRUE(listen(first));
    struct stat info {};
    ASSERT_EQ(::lstat(address.sun_path, &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_TRUE(handedOver(Request::Activate));
}

// Two copies starting in the same moment: the later one must not take the name over.
TEST_F(InstanceChannelTest, AChannelThatAnswersIsNotReplaced) {
    QtInstanceChannel first(kCaption);
    ASSERT_TRUE(listen(first));
    {
        QtInstanceChannel late(kCaption);
        EXPECT_FALSE(late.listen([](Request) {}));
    }
    EXPECT_TRUE(socketFileExists());
    EXPECT_TRUE(handedOver(Request::UrlExec));
}

TEST_F(InstanceChannelTest, StopRemovesOnlyItsOwnSocketFile) {
    QtInstanceChannel first(kCaption);
    ASSERT_TRUE(listen(first));
    first.stop();
    EXPECT_FALSE(socketFileExists());
    QtInstanceChannel probe(kCaption);
    EXPECT_FALSE(probe.otherInstanceRunning());

    // Somebody removed our file and a newer copy serves the name now.
    QtInstanceChannel older(kCaption);
    ASSERT_TRUE(older.listen([](Request) {}));
    ASSERT_EQ(::unlink(QFile::encodeName(socketPath()).constData()), 0);
    QtInstanceChannel newer(kCaption);
    ASSERT_TRUE(listen(newer));
    older.stop();
    EXPECT_TRUE(socketFileExists());
    EXPECT_TRUE(handedOver(Request::Activate));
}

TEST_F(InstanceChannelTest, APathTooLongForASocketFailsCleanly) {
    const QString deep = m_root.filePath(QString(120, QLatin1Char('d')));
    useRuntimeFolder(deep);
    ASSERT_EQ(QtInstanceChannel::privateFolder(), deep);
    QtInstanceChannel channel(kCaption);
    EXPECT_FALSE(channel.otherInstanceRunning());
    EXPECT_FALSE(listen(channel));
    EXPECT_TRUE(QDir(deep).isEmpty());
}

// Requests read in the same turn are queued; the first one's handling ends the channel (as
// closing the program does), and the second must then not run.
TEST_F(InstanceChannelTest, NoHandlerRunsAfterStopOrDestruction) {
    for (const bool destroy : {false, true}) {
        SCOPED_TRACE(destroy ? "destroyed" : "stopped");
        auto first = std::make_unique<QtInstanceChannel>(kCaption);
        int calls = 0;
        ASSERT_TRUE(first->listen([&](Request) {
            ++calls;
            if (destroy) {
                first.reset();
            } else {
                first->stop();
            }
        }));
        RawPeer one(socketPath());
        RawPeer two(socketPath());
        ASSERT_TRUE(one.connected() && two.connected());
        one.write("A");
        two.write("U");
        ASSERT_TRUE(waitFor([&] { return calls > 0; }));
        runEventLoop(200);
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(one.answer(), "Kclosed");
        EXPECT_EQ(two.answer(), "Kclosed");
        EXPECT_FALSE(socketFileExists());
        first.reset();
    }
}

TEST_F(InstanceChannelTest, GarbageIsRefusedAndSilentPeersAreDroppedInTime) {
    QtInstanceChannel first(kCaption);
    ASSERT_TRUE(listen(first));
    RawPeer silent(socketPath());
    RawPeer late(socketPath());
    RawPeer garbage(socketPath());
    ASSERT_TRUE(silent.connected() && late.connected() && garbage.connected());
    garbage.write("xUA");
    ASSERT_TRUE(waitFor([&] { return garbage.answer() == "closed"; }, 2000));
    EXPECT_TRUE(handedOver(Request::UrlExec));

    // A second copy that writes a moment after it connected is still served.
    runEventLoop(1500);
    EXPECT_EQ(silent.answer(), "");
    late.write("A");
    ASSERT_TRUE(waitFor([&] { return late.answer() == "Kclosed"; }, 2000));
    ASSERT_TRUE(waitFor([&] { return m_handled.size() == 2; }, 2000));
    EXPECT_EQ(m_handled.back(), Request::Activate);

    EXPECT_TRUE(waitFor([&] { return silent.answer() == "closed"; }, 10000));
    EXPECT_EQ(m_handled.size(), 2u);
}

TEST_F(InstanceChannelTest, AFloodOfPeersKeepsDescriptorsBoundedAndARealRequestThrough) {
    QtInstanceChannel first(kCaption);
    ASSERT_TRUE(listen(first));
    runEventLoop(50);
    const int baseline = openDescriptors();

    constexpr int kPeers = 50;
    std::vector<std::unique_ptr<RawPeer>> silent;
    for (int i = 0; i < kPeers; ++i) {
        silent.push_back(std::make_unique<RawPeer>(socketPath()));
        ASSERT_TRUE(silent.back()->connected());
        // Garbage in between, many times a second.
        RawPeer garbage(socketPath());
        ASSERT_TRUE(garbage.connected());
        garbage.write("?");
    }
    const auto dropped = [&] {
        int count = 0;
        for (const auto& peer : silent) {
            count += peer->answer() == "closed" ? 1 : 0;
        }
        return count;
    };
    ASSERT_TRUE(waitFor([&] { return dropped() == kPeers - kKeptConnections; }, 5000)) << dropped();
    // The oldest make room for the newest.
    EXPECT_EQ(silent.front()->answer(), "closed");
    EXPECT_EQ(silent.back()->answer(), "");
    EXPECT_LE(openDescriptors(), baseline + kPeers + kKeptConnections);

    EXPECT_TRUE(handedOver(Request::UrlExec));
    EXPECT_LE(openDescriptors(), baseline + kPeers + kKeptConnections);

    silent.clear();
    EXPECT_TRUE(waitFor([&] { return openDescriptors() <= baseline; }, 5000))
        << openDescriptors() - baseline;
    EXPECT_EQ(m_handled.size(), 1u);
}

}  // namespace
