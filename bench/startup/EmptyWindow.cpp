// The yardstick for Squadlink's start-up: an empty Qt main window built with the same compiler,
// flags and Qt, so that both are measured the same way in the same run.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Empty Qt window"));
    window.resize(480, 496);
    window.show();
    return QApplication::exec();
}
