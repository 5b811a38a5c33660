// The yardstick for Squadlink's start-up: an empty Qt main window built with the same compiler,
// flags and Qt, so that both are measured the same way in the same run.
// With --clock it is the idle bench's second yardstick: the same window with the time of day in
// its status bar, a stock QLabel set anew each second. That is the plainest way a Qt window
// shows a ticking clock, and what such a window costs while it idles on this machine.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <QTime>
#include <QTimer>
#include <cstring>

int main(int argc, char** argv) {
    const bool clock = argc > 1 && std::strcmp(argv[1], "--clock") == 0;
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Empty Qt window"));
    window.resize(480, 496);
    QTimer tick;
    if (clock) {
        auto* time = new QLabel(&window);
        window.statusBar()->addPermanentWidget(time);
        const auto show = [time] {
            time->setText(QTime::currentTime().toString(QStringLiteral("hh:mm:ss")));
        };
        show();
        QObject::connect(&tick, &QTimer::timeout, show);
        tick.start(1000);
    }
    window.show();
    return QApplication::exec();
}
