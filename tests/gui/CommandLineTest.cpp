#include <gtest/gtest.h>

#include "CommandLine.h"

using namespace squadlink;

namespace {

TEST(CommandLine, ArgumentsReachTheLogicInWindows1252) {
    const char* argv[] = {"squadlink", "\"sqd://\xC3\xBCn\xC3\xAF.example/\"", "-style"};
    const auto arguments = CommandLine::arguments(3, argv);
    ASSERT_EQ(arguments.size(), 2u);
    EXPECT_EQ(arguments[0], "\"sqd://\xFCn\xEF.example/\"");
    // Options Qt would take for itself are ours, and so invalid.
    EXPECT_EQ(arguments[1], "-style");
}

}  // namespace
