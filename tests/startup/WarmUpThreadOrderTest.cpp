#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QString>
#include <QTemporaryDir>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "backends/linux/StartUpWarmUp.h"

// This program makes no Qt call before the test, as the real program's main makes none before
// its warm-up: Qt takes as its main thread the first thread to ask while none other holds the
// title.

namespace {

QString g_messages;

void recordMessage(QtMsgType, const QMessageLogContext&, const QString& message) {
    g_messages += message + '\n';
}

// A bus that takes connections and never answers: the bus thread stays inside its connection
// attempt until the socket is closed.
class SilentBus {
public:
    explicit SilentBus(const QString& path) {
        m_socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray native = path.toLocal8Bit();
        std::strncpy(address.sun_path, native.constData(), sizeof address.sun_path - 1);
        m_listening =
            m_socket >= 0 &&
            ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::listen(m_socket, 4) == 0;
    }
    ~SilentBus() { close(); }
    bool listening() const { return m_listening; }
    void close() {
        if (m_socket >= 0) {
            ::close(m_socket);
            m_socket = -1;
        }
    }

private:
    int m_socket = -1;
    bool m_listening = false;
};

}  // namespace

TEST(StartUpWarmUpOrder, QApplicationIsCreatedOnQtsMainThreadWhileTheBusThreadWaits) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath("bus");
    SilentBus bus(path);
    ASSERT_TRUE(bus.listening());
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + path).toLocal8Bit().constData(), 1);
    qInstallMessageHandler(recordMessage);

    squadlink::StartUpWarmUp warmUp;
    // Connecting to the display can take this long; the bus thread is still connecting.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    int argc = 1;
    char name[] = "startup_tests";
    char* argv[] = {name, nullptr};
    {
        QCoreApplication application(argc, argv);
        EXPECT_FALSE(g_messages.contains("main() thread")) << g_messages.toStdString();
        bus.close();  // the attempt fails; the warm-up's thread ends
    }
    qInstallMessageHandler(nullptr);
}
