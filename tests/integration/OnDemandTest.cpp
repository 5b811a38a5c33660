#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstring>

#include "backends/qt/OnDemand.h"
#include "support/LoopbackHttpServer.h"

using namespace squadlink;
using squadlink::test::LoopbackHttpServer;

namespace {

// The modules are found as an installed program finds them, and do their work once loaded.
TEST(OnDemand, HttpModuleIsFoundLoadedOnTheFirstRequestAndFetches) {
    ASSERT_FALSE(onDemandModulePath("libsquadlink-http.so").empty());
    ASSERT_FALSE(onDemandModulePath("libsquadlink-sound.so").empty());
    EXPECT_TRUE(onDemandModulePath("libsquadlink-none.so").empty());

    LoopbackHttpServer server;
    ASSERT_TRUE(server.listening());
    server.serve("/Squadlink/update.txt", {"200 OK", "www.squadlink.org/Squadlink\n12"});
    OnDemandHttpClient client("Squadlink v1.1.0", 5000);
    EXPECT_EQ(client.get(server.base() + "update.txt"), "www.squadlink.org/Squadlink\n12");
    EXPECT_EQ(server.lastUserAgent(), "Squadlink v1.1.0");
    // Local files stay out of reach through the module too.
    EXPECT_EQ(client.get("file:///etc/passwd"), "");
}

// Whether the "Sounds" box can be used is decided without loading the audio system: by whether
// this session has a sound server.
class OnDemandSound : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_runtime.isValid());
        m_savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        m_savedServer = qgetenv("PULSE_SERVER");
        qunsetenv("PULSE_SERVER");
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toUtf8());
    }
    void TearDown() override {
        qputenv("XDG_RUNTIME_DIR", m_savedRuntime);
        if (m_savedServer.isEmpty()) {
            qunsetenv("PULSE_SERVER");
        } else {
            qputenv("PULSE_SERVER", m_savedServer);
        }
        if (m_listener >= 0) {
            ::close(m_listener);
        }
    }
    // A socket where a PulseAudio or PipeWire server puts its own.
    void startServerSocket() {
        QDir(m_runtime.path()).mkpath(QStringLiteral("pulse"));
        const QByteArray path =
            QFile::encodeName(m_runtime.filePath(QStringLiteral("pulse/native")));
        m_listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        ASSERT_LT(static_cast<std::size_t>(path.size()), sizeof(address.sun_path));
        std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
        ASSERT_EQ(::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    }
    QTemporaryDir m_runtime;
    QByteArray m_savedRuntime, m_savedServer;
    int m_listener = -1;
};

TEST_F(OnDemandSound, DevicesFollowTheSessionsSoundServer) {
    OnDemandSoundPlayer player;
    EXPECT_EQ(player.outputDeviceCount(), 0);
    // A plain file by that name is no server.
    QDir(m_runtime.path()).mkpath(QStringLiteral("pulse"));
    QFile stray(m_runtime.filePath(QStringLiteral("pulse/native")));
    ASSERT_TRUE(stray.open(QIODevice::WriteOnly));
    stray.close();
    EXPECT_EQ(player.outputDeviceCount(), 0);
    // Without a server nothing is loaded and nothing plays.
    player.play(101, true);
    stray.remove();

    startServerSocket();
    EXPECT_EQ(player.outputDeviceCount(), 1);
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(player.outputDeviceCount(), 0);
    qputenv("PULSE_SERVER", "tcp:192.0.2.1");
    EXPECT_EQ(player.outputDeviceCount(), 1);
}

// The program itself starts without Qt Network and Qt Multimedia: they are only in its modules.
TEST(OnDemand, TheProgramDoesNotLinkNetworkOrMultimedia) {
    QProcess readelf;
    readelf.start(QStringLiteral("readelf"), {QStringLiteral("-d"), QStringLiteral(SQUADLINK_EXE)});
    ASSERT_TRUE(readelf.waitForFinished(10000));
    const QByteArray needed = readelf.readAllStandardOutput();
    ASSERT_TRUE(needed.contains("libQt6Widgets")) << needed.toStdString();
    EXPECT_FALSE(needed.contains("libQt6Network"));
    EXPECT_FALSE(needed.contains("libQt6Multimedia"));
}

}  // namespace
