#include <gtest/gtest.h>

#include <QCoreApplication>

// The integration tests drive real Qt event-loop backends, which need an application object.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const QCoreApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
