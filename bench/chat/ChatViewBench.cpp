// Appends received chat lines, mixing smileys and links, to the real chat view of a real main
// window (offscreen unless a display is given) and reports the cost per line (median and 99th
// percentile over 10,000 lines) and the resident memory after 1,000 and after 100,000 lines.
//
// Usage: chat_view_bench [lines-for-memory]   (default 100000)

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "MainWindow.h"
#include "chat/RichChatView.h"
#include "support/FakeServices.h"
#include "support/FakeSocket.h"

using namespace squadlink;

namespace {

double residentMegabytes() {
    QFile status(QStringLiteral("/proc/self/statm"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QList<QByteArray> fields = status.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096.0 / (1024.0 * 1024.0) : 0;
}

// Received payloads as a Fighter gets them: nick, NUL, text, NUL.
std::vector<std::string> payloads() {
    const char* const texts[] = {
        "gg all :) see you on de_dust2",
        "server is sqd://10.0.0.2/ join now :D",
        "check http://example.org/maps/aim_map.zip >:( too slow",
        "lol ::) ^^ 8) :P",
        "who has the bomb? :o",
        "read https://example.com/a/very/long/path?with=query&and=more :'( ok",
        "plain line without anything special in it at all, just words and words",
        "ftp://files.example.org/demo.dem and irc://irc.example.org/clan ;)",
    };
    const char* const nicks[] = {"Viper", "Hawk", "[CLAN]Boss", "Raven"};
    std::vector<std::string> out;
    for (int i = 0; i < 32; ++i) {
        std::string payload = nicks[i % 4];
        payload.push_back('\0');
        payload += texts[i % 8];
        payload += " #" + std::to_string(i);
        payload.push_back('\0');
        out.push_back(payload);
    }
    return out;
}

// Processor time of this thread: on a busy machine the wall clock also counts other processes'
// time slices.
double threadMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double percentile(std::vector<double> values, int percent) {
    std::sort(values.begin(), values.end());
    return values[values.size() * static_cast<std::size_t>(percent) / 100];
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const long memoryLines = argc > 1 ? std::atol(argv[1]) : 100000;

    WindowModel model;
    MainWindow window(model);
    model.Tabek.setSelectedTab(tab::Chat);
    window.show();
    QApplication::processEvents();
    FormState state;
    FakeClock clock;
    FakeAttention attention;
    FakeSocket socket;
    model.oSmiley2.setValue(true);
    RichChatView view(RichChatView::Services{model, state, clock, attention, socket},
                      window.chatDocument());
    view.InitChatView();
    QApplication::processEvents();

    const std::vector<std::string> lines = payloads();
    constexpr int kTimed = 10000;
    std::vector<double> costs;
    costs.reserve(kTimed);
    QElapsedTimer timer;
    double paintMs = 0;
    double rssAt1000 = 0;
    std::vector<double> clearCosts;
    std::vector<double> cpuCosts;
    cpuCosts.reserve(kTimed);
    for (int i = 0; i < kTimed; ++i) {
        const std::size_t before = view.richSize();
        const double cpuStart = threadMs();
        timer.start();
        view.ShowReceivedChat(lines[static_cast<std::size_t>(i) % lines.size()],
                              ChatLineKind::Normal);
        const double cost = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        costs.push_back(cost);
        cpuCosts.push_back(threadMs() - cpuStart);
        if (view.richSize() < before) {
            clearCosts.push_back(cost);
        }
        // The window repaints between bursts of lines, as the event loop would let it.
        if (i % 20 == 19) {
            timer.start();
            QApplication::processEvents();
            paintMs += static_cast<double>(timer.nsecsElapsed()) / 1e6;
        }
        if (i == 999) {
            rssAt1000 = residentMegabytes();
        }
    }
    std::vector<double> sorted = costs;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[sorted.size() / 2];
    const double p99 = sorted[sorted.size() * 99 / 100];
    const double worst = sorted.back();
    for (long i = kTimed; i < memoryLines; ++i) {
        view.ShowReceivedChat(lines[static_cast<std::size_t>(i) % lines.size()],
                              ChatLineKind::Normal);
        if (i % 50 == 49) {
            QApplication::processEvents();
        }
    }
    QApplication::processEvents();
    const double rssAtEnd = residentMegabytes();
    std::printf("lines timed: %d\n", kTimed);
    std::printf("wall time per line: median %.3f ms, p99 %.3f ms, worst %.3f ms\n", median, p99,
                worst);
    if (qEnvironmentVariableIsSet("CHAT_BENCH_WORST")) {
        std::vector<int> order(costs.size());
        for (std::size_t i = 0; i < order.size(); ++i) {
            order[i] = static_cast<int>(i);
        }
        std::sort(order.begin(), order.end(), [&costs](int a, int b) {
            return costs[static_cast<std::size_t>(a)] > costs[static_cast<std::size_t>(b)];
        });
        for (int i = 0; i < 30; ++i) {
            std::printf("line %d: %.3f ms\n", order[static_cast<std::size_t>(i)],
                        costs[static_cast<std::size_t>(order[static_cast<std::size_t>(i)])]);
        }
    }
    std::sort(clearCosts.begin(), clearCosts.end());
    if (!clearCosts.empty()) {
        std::printf("lines that cleared the view: %zu, median %.3f ms\n", clearCosts.size(),
                    clearCosts[clearCosts.size() / 2]);
    }
    std::printf("processor time per line: median %.3f ms, p99 %.3f ms\n", percentile(cpuCosts, 50),
                percentile(cpuCosts, 99));
    std::printf("repaint per 20 lines: mean %.3f ms\n", paintMs / (kTimed / 20.0));
    std::printf(
        "resident memory: %.1f MB after 1,000 lines, %.1f MB after %ld lines "
        "(difference %.1f MB)\n",
        rssAt1000, rssAtEnd, memoryLines, rssAtEnd - rssAt1000);
    std::printf("view content now: %zu characters of rich source\n", view.richSize());
    return 0;
}
