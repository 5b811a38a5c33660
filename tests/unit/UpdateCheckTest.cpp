#include <gtest/gtest.h>

#include <string>

#include "support/UpdateRig.h"

using namespace squadlink;
using squadlink::test::UpdateRig;

namespace {

class UpdateCheck_ : public ::testing::Test, public UpdateRig {
protected:
    bool check(bool interactive) {
        bool done = false;
        guard.run([&] { done = updates.CheckForUpdate(interactive); });
        return done;
    }
};

TEST_F(UpdateCheck_, LatestReleaseIsReportedOnlyWhenAsked) {
    serve("update.txt", "www.squadlink.org/Squadlink\n12");
    EXPECT_TRUE(check(false));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(check(true));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "This is the latest version of Squadlink   ");
    EXPECT_EQ(boxes.shown[0].caption, "Squadlink v1.1.0 - Update check");
    EXPECT_EQ(boxes.shown[0].flags, mb::Information);
    EXPECT_EQ(http.requests.back(), "http://updates.test/Squadlink/update.txt");
}

TEST_F(UpdateCheck_, NewerReleaseOffersTheDownloadEvenUnasked) {
    serve("update.txt", "www.squadlink.org/Squadlink\n13");
    boxes.answers = {mb::No};
    EXPECT_TRUE(check(false));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              "New version of Squadlink is available for download   \r\n"
              "Would you like to download it now?   ");
    EXPECT_EQ(boxes.shown[0].flags, mb::YesNoInformation);
    EXPECT_TRUE(desktop.urls.empty());
    EXPECT_FALSE(lifecycle.ended());
}

TEST_F(UpdateCheck_, YesOpensTheServedHomepageAndEnds) {
    serve("update.txt", "mirror.example.net/sl\n14");
    boxes.answers = {mb::Yes};
    check(true);
    ASSERT_EQ(desktop.urls.size(), 1u);
    EXPECT_EQ(desktop.urls[0], "http://mirror.example.net/sl");
    EXPECT_EQ(settingsBackend.values["Home"], "mirror.example.net/sl");
    EXPECT_EQ(lifecycle.unloads, 1);
}

TEST_F(UpdateCheck_, FailedBrowserIsReportedAndTheProgramEndsAnyway) {
    serve("update.txt", "www.squadlink.org/Squadlink\n13");
    boxes.answers = {mb::Yes};
    desktop.succeed = false;
    check(true);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].text, "Launching default web browser program failed   ");
    EXPECT_EQ(boxes.shown[1].caption, "Squadlink v1.1.0 - Warning");
    EXPECT_EQ(lifecycle.unloads, 1);
}

TEST_F(UpdateCheck_, SameHomeInOtherLetterCaseIsNotStored) {
    serve("update.txt", "WWW.SquadLink.org/squadlink\n1");
    check(false);
    EXPECT_EQ(settingsBackend.values.count("Home"), 0u);
    serve("update.txt", "other.org/x\n1");
    check(false);
    EXPECT_EQ(settingsBackend.values["Home"], "other.org/x");
}

TEST_F(UpdateCheck_, BadOrMissingRepliesEndTheCheckSilently) {
    const std::string replies[] = {"",
                                   "abcd",
                                   "<h1>404 Not Found</h1>\n13",
                                   "www.squadlink.org/Squadlink\n300",
                                   std::string(300, 'h') + "\n13",
                                   "no line feed 13"};
    for (const std::string& reply : replies) {
        SCOPED_TRACE(reply.substr(0, 40));
        serve("update.txt", reply);
        EXPECT_FALSE(check(true));
        EXPECT_TRUE(boxes.shown.empty());
        EXPECT_FALSE(lifecycle.ended());
    }
    withdraw("update.txt");
    EXPECT_FALSE(check(true));
    EXPECT_TRUE(boxes.shown.empty());
}

struct MonthCase {
    int stored;  // -1: never checked
    int month;
    bool answers;
    bool checks;
    std::string storedAfter;
};

TEST_F(UpdateCheck_, MonthlyCheckRunsOncePerMonthAndEveryJanuaryStart) {
    const MonthCase cases[] = {
        {5, 5, true, false, "5"},   {5, 6, true, true, "6"},     {-1, 3, true, true, "3"},
        {5, 6, false, true, "5"},   {1, 1, true, true, "1"},     {12, 1, true, true, "1"},
        {12, 1, false, true, "12"}, {12, 11, true, false, "12"},
    };
    for (const MonthCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.stored) + " in month " + std::to_string(c.month));
        settingsBackend.values.clear();
        if (c.stored >= 0) {
            settingsBackend.values["MonthCheck"] = std::to_string(c.stored);
        }
        if (c.answers) {
            serve("update.txt", "www.squadlink.org/Squadlink\n1");
        } else {
            withdraw("update.txt");
        }
        clock.date.month = c.month;
        http.requests.clear();
        ui.tDelayUpdate.start();
        timers.advance(4999);
        EXPECT_TRUE(http.requests.empty());
        timers.advance(1);
        EXPECT_EQ(http.requests.size(), c.checks ? 1u : 0u);
        EXPECT_FALSE(ui.tDelayUpdate.running());
        const auto stored = settingsBackend.values.find("MonthCheck");
        EXPECT_EQ(stored == settingsBackend.values.end() ? "-1" : stored->second, c.storedAfter);
        // Fires once only.
        timers.advance(60000);
        EXPECT_EQ(http.requests.size(), c.checks ? 1u : 0u);
    }
}

TEST_F(UpdateCheck_, MonthlyCheckOfANewerReleaseAsksAndNoLeavesTheProgramRunning) {
    serve("update.txt", "www.squadlink.org/Squadlink\n13");
    clock.date.month = 7;
    ui.tDelayUpdate.start();
    timers.advance(5000);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].caption, "Squadlink v1.1.0 - Update check");
    EXPECT_EQ(settingsBackend.values["MonthCheck"], "7");
    EXPECT_FALSE(lifecycle.ended());
}

TEST_F(UpdateCheck_, RequestWhileAnotherWaitsGetsNoReply) {
    serve("update.txt", "www.squadlink.org/Squadlink\n1");
    std::string nested = "unset";
    http.whileWaiting = [&] {
        http.whileWaiting = nullptr;
        nested = server.HttpGetFile("update.txt");
    };
    EXPECT_TRUE(check(false));
    EXPECT_EQ(nested, "");
    EXPECT_FALSE(server.busy());
}

}  // namespace
