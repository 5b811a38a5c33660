#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>

#include "backends/linux/StartUpWarmUp.h"

// What start-up does to the process as a whole: Qt's main thread and its one session
// connection. Each test runs in a process of its own that has made no Qt call before, as the
// real program's main has made none before its warm-up.

namespace {

// Runs the check in a freshly started copy of this test program; it passes when the check
// returns true.
void inFreshProcess(const std::function<bool()>& check) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(check() ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

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

std::atomic<int> g_forks{0};

}  // namespace

TEST(StartUpWarmUpProcess, QApplicationIsCreatedOnQtsMainThreadWhileTheBusThreadWaits) {
    inFreshProcess([] {
        QTemporaryDir folder;
        const QString path = folder.filePath("bus");
        SilentBus bus(path);
        if (!bus.listening()) {
            return false;
        }
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + path).toLocal8Bit().constData(), 1);
        qInstallMessageHandler(recordMessage);

        squadlink::StartUpWarmUp warmUp;
        // Connecting to the display can take this long; the bus thread is still connecting.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        int argc = 1;
        char name[] = "startup_tests";
        char* argv[] = {name, nullptr};
        bool onMainThread = false;
        {
            QCoreApplication application(argc, argv);
            onMainThread = !g_messages.contains("main() thread");
            bus.close();  // the attempt fails; the warm-up's thread ends
        }
        qInstallMessageHandler(nullptr);
        if (!onMainThread) {
            std::fprintf(stderr, "%s", qPrintable(g_messages));
        }
        return onMainThread;
    });
}

TEST(StartUpWarmUpProcess, WithNoBusAndNoLauncherNothingIsForked) {
    if (QFile::exists("/usr/bin/dbus-launch") || QFile::exists("/bin/dbus-launch") ||
        QFile::exists("/usr/local/bin/dbus-launch")) {
        GTEST_SKIP() << "a dbus-launch is installed: libdbus would rightly run it";
    }
    inFreshProcess([] {
        QTemporaryDir folder;
        QDir(folder.path()).mkpath("run");
        QDir(folder.path()).mkpath("bin");
        ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
        ::setenv("XDG_RUNTIME_DIR", qPrintable(folder.filePath("run")), 1);
        ::setenv("PATH", qPrintable(folder.filePath("bin")), 1);
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        // libdbus launches a bus only for an X display; none is contacted here.
        ::setenv("DISPLAY", ":97", 1);
        ::pthread_atfork([] { ++g_forks; }, nullptr, nullptr);
        { squadlink::StartUpWarmUp warmUp; }
        // What the accessibility bridge later asks for: the connection made at start-up.
        const bool connected = QDBusConnection::sessionBus().isConnected();
        std::fprintf(stderr, "connected %d, forks %d\n", connected, g_forks.load());
        return !connected && g_forks == 0;
    });
}
