#include <gtest/gtest.h>

#include <QApplication>

#include "MainWindow.h"
#include "ProgramStyle.h"

// The GUI tests drive real widgets; without a display they run on the offscreen platform.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    // The windows under test look as the program's own do.
    QApplication::setStyle(new squadlink::ProgramStyle);
    squadlink::MainWindow::loadResources();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
