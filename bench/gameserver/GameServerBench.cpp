// Measures what a player sees of the game server tools:
// - ping accuracy: the Fighter's shown ping minus the server's answer delay x 1.08, over 20
//   pings each against a loopback server answering 20, 50 and 200 ms late (median and worst);
// - scan time: from the click on Scan to the server details shown (median of 20).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "MainWindow.h"
#include "Program.h"
#include "support/FakeServices.h"
#include "support/FakeShellServices.h"
#include "support/LoopbackGameServer.h"
#include "support/ProgramCopy.h"
#include "support/WaitFor.h"

using namespace squadlink;

namespace {

struct Copy : test::ProgramCopy {
    explicit Copy(bool arranger) : ProgramCopy(arranger ? "127.0.0.2" : "127.0.0.11") {
        settings.values = {{"ServerMode", arranger ? "True" : "False"},
                           {"ClientMode", arranger ? "False" : "True"},
                           {"Nick", "Bench"}};
        create();
    }
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Waits in the event loop without the test helper's pauses, sleeping until the next event, so
// that a reply is handled as soon as it arrives (a busy loop would be preempted on a loaded
// machine and measure the scheduler instead).
bool spin(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    QTimer wakeUp;
    wakeUp.start(timeoutMs);
    while (!done()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// A ping-answering server in a process of its own, so that its delay is kept by the kernel's
// sleep and not by the measured program's event loop.
class PingServer {
public:
    explicit PingServer(int delayMs) {
        m_child = fork();
        if (m_child == 0) {
            serve(delayMs);
            _exit(0);
        }
    }
    ~PingServer() {
        if (m_child > 0) {
            kill(m_child, SIGTERM);
            waitpid(m_child, nullptr, 0);
        }
    }
    PingServer(const PingServer&) = delete;
    PingServer& operator=(const PingServer&) = delete;

private:
    [[noreturn]] static void serve(int delayMs) {
        const int fd = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(27016);
        inet_pton(AF_INET, "127.0.0.30", &address.sin_addr);
        if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            _exit(1);
        }
        const std::string reply = std::string(4, '\xFF') + "j" + std::string(1, '\0');
        for (;;) {
            char buffer[64];
            sockaddr_in from{};
            socklen_t length = sizeof from;
            const ssize_t got =
                recvfrom(fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length);
            if (got <= 0) {
                continue;
            }
            timespec until{};
            clock_gettime(CLOCK_MONOTONIC, &until);
            until.tv_nsec += static_cast<long>(delayMs) * 1'000'000L;
            until.tv_sec += until.tv_nsec / 1'000'000'000L;
            until.tv_nsec %= 1'000'000'000L;
            while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) != 0) {
            }
            sendto(fd, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from), length);
        }
    }

    pid_t m_child = -1;
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    MainWindow::loadResources();
    test::LoopbackGameServer server;
    if (!server.bound()) {
        std::fprintf(stderr, "cannot bind 127.0.0.30:27015\n");
        return 1;
    }
    constexpr int kRounds = 20;

    Copy fighter(false);
    if (!fighter.program->start({})) {
        return 1;
    }
    auto& model = fighter.program->model();
    model.lServer.setCaption("127.0.0.30:27016");
    model.lProtection.setCaption("Valve Anti-Cheat (VAC)");
    auto* ping = fighter.program->window().findChild<QPushButton*>("coPingGame");
    std::printf("ping accuracy: shown ping - delay x 1.08 (ms), %d pings each\n", kRounds);
    std::printf("%8s %10s %10s\n", "delay", "median", "worst");
    for (const int delay : {20, 50, 200}) {
        const PingServer pinged(delay);
        QTest::qWait(200);
        std::vector<double> errors;
        for (int i = 0; i < kRounds; ++i) {
            spin([&] { return !model.tFlood.running(); }, 2000);
            QTest::mouseClick(ping, Qt::LeftButton);
            if (!spin([&] { return !model.lClientPing.caption().empty(); }, 3000)) {
                std::fprintf(stderr, "no ping reply\n");
                return 1;
            }
            const double shown = std::atof(model.lClientPing.caption().c_str());
            errors.push_back(shown - delay * 1.08);
        }
        double worst = 0;
        for (const double e : errors) {
            worst = std::max(worst, std::fabs(e));
        }
        std::printf("%6d ms %+10.2f %10.2f\n", delay, median(errors), worst);
    }

    server.delayMs = 0;
    server.answer = test::LoopbackGameServer::Answer::Info;
    Copy arranger(true);
    if (!arranger.program->start({})) {
        return 1;
    }
    auto& wa = arranger.program->model();
    auto* scan = arranger.program->window().findChild<QPushButton*>("coScan");
    auto* name = arranger.program->window().findChild<QLabel*>("lGameName");
    std::vector<double> scans;
    for (int i = 0; i < kRounds; ++i) {
        wa.tGame.setText("127.0.0.30");
        spin([&] { return !wa.tFlood.running(); }, 2000);
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(scan, Qt::LeftButton);
        if (!spin([&] { return !name->text().isEmpty(); }, 3000)) {
            std::fprintf(stderr, "no scan reply\n");
            return 1;
        }
        scans.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    std::printf("scan of a local server, click to details shown: median %.3f ms (%d scans)\n",
                median(scans), kRounds);
    return 0;
}
