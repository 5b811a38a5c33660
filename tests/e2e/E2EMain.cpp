#include <gtest/gtest.h>

#include <QCoreApplication>

// QProcess and the local socket probes report through the event loop.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const QCoreApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
