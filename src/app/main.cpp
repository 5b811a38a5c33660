#include <QApplication>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "Program.h"
#include "ProgramStyle.h"
#include "backends/linux/StartUpWarmUp.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = squadlink::CommandLine::arguments(argc, argv);
    squadlink::StartUpWarmUp warmUp;
    QApplication application(argc, argv);
    warmUp.waitForFonts();
    QApplication::setStyle(new squadlink::ProgramStyle);
    QApplication::setOrganizationName(QStringLiteral("Squadlink"));
    QApplication::setApplicationName(QStringLiteral("Squadlink"));
    QApplication::setDesktopFileName(QStringLiteral("squadlink"));
    // The program lives on in the notification area; it ends only through its own shut-down.
    QApplication::setQuitOnLastWindowClosed(false);

    squadlink::ProgramOptions options;
    options.executablePath = QCoreApplication::applicationFilePath().toStdString();
    squadlink::Program program(options);
    if (!program.start(arguments) || program.quitRequested()) {
        return 0;
    }
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &application,
                     [&program] { program.form().close(); });
    return QApplication::exec();
}
