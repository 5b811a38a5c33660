#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/LinkRig.h"
#include "support/UpdateRig.h"
#include "update/BuiltInBanner.h"

using namespace squadlink;
using squadlink::test::UpdateRig;

namespace {

const std::string kGif = "GIF89a-picture-a";
const std::string kPng = "\x89PNG-picture-b";

class Banner_ : public ::testing::Test, public UpdateRig {
protected:
    void SetUp() override {
        serve("test.txt", "ok");
        http.replies["http://pics.test/a.gif"] = kGif;
        http.replies["http://pics.test/b.png"] = kPng;
    }
    void serveTwoBanners() {
        serve("banner.txt",
              "2\nhttp://pics.test/a.gif\nhttp://news.test/a.html\nhttp://pics.test/b.png\n");
    }
    bool showsBuiltIn() const { return ui.wb.locationName().rfind("file://", 0) == 0; }
    std::string builtInPath() const { return folder.path() + "/data/banner.gif"; }
    void tick() { timers.advance(Banner::kRotationMs); }
};

TEST_F(Banner_, StartShowsTheBuiltInPictureWrittenToTheDataFolder) {
    banner.StartBanner();
    EXPECT_EQ(ui.wb.locationName(), "file://" + builtInPath());
    EXPECT_EQ(ui.wb.picture(), std::string(builtInBanner()));
    std::ifstream written(builtInPath(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(written), {}};
    EXPECT_EQ(bytes, builtInBanner());
    EXPECT_EQ(builtInBanner().substr(0, 6), "GIF89a");
    EXPECT_TRUE(ui.tBanner.running());
    EXPECT_EQ(ui.tBanner.interval(), 45000);
    EXPECT_TRUE(http.requests.empty());
}

TEST_F(Banner_, RotatesThroughTheListThenTheBuiltInPictureAndAgain) {
    serveTwoBanners();
    banner.StartBanner();
    timers.advance(44999);
    EXPECT_TRUE(showsBuiltIn());
    timers.advance(1);
    EXPECT_EQ(ui.wb.locationName(), "http://pics.test/a.gif");
    EXPECT_EQ(ui.wb.picture(), kGif);
    EXPECT_TRUE(banner.bBannerHasLink());
    tick();
    EXPECT_EQ(ui.wb.picture(), kPng);
    EXPECT_FALSE(banner.bBannerHasLink());
    tick();
    EXPECT_TRUE(showsBuiltIn());
    tick();
    EXPECT_EQ(ui.wb.picture(), kGif);
    // The list is fetched once; later ticks only ask whether the server is still there.
    EXPECT_EQ(
        std::count(http.requests.begin(), http.requests.end(), std::string(kBase) + "banner.txt"),
        1);
    EXPECT_EQ(
        std::count(http.requests.begin(), http.requests.end(), std::string(kBase) + "test.txt"), 3);
}

TEST_F(Banner_, LosingTheServerFallsBackAndStopsUntilResumed) {
    serveTwoBanners();
    banner.StartBanner();
    tick();
    EXPECT_EQ(ui.wb.picture(), kGif);
    withdraw("test.txt");
    tick();
    EXPECT_TRUE(showsBuiltIn());
    EXPECT_FALSE(ui.tBanner.running());
    EXPECT_FALSE(banner.bBannerListLoaded());
    serve("test.txt", "ok");
    banner.ResumeBannerRotation();
    tick();
    // Fetched anew, and the rotation goes on where it was.
    EXPECT_EQ(ui.wb.picture(), kPng);
}

TEST_F(Banner_, NoListKeepsTheBuiltInPictureAndStops) {
    const std::string lists[] = {
        "", "404 Not Found", "1\nhttp://xa\nhttp://l.test/x",
        "2\nhttp://pics.test/a.gif\nhttp://l.test/a\nhttp://pics.test/b.png",
        "2\nhttp://pics.test/a.gif\n" + std::string(300, 'x') + "\n"};
    for (const std::string& list : lists) {
        SCOPED_TRACE(list.substr(0, 30));
        serve("banner.txt", list);
        banner.StartBanner();
        const unsigned before = ui.wb.navigations();
        tick();
        EXPECT_TRUE(showsBuiltIn());
        EXPECT_EQ(ui.wb.navigations(), before);
        EXPECT_FALSE(ui.tBanner.running());
        EXPECT_FALSE(lifecycle.ended());
    }
}

TEST_F(Banner_, PictureThatCannotBeFetchedOrShownFallsBackQuickly) {
    serve("banner.txt", "1\nhttp://pics.test/missing.gif\nhttp://l.test/x.html\n");
    banner.StartBanner();
    tick();
    EXPECT_TRUE(ui.tFixBanner.running());
    const unsigned before = ui.wb.navigations();
    timers.advance(250);
    EXPECT_TRUE(showsBuiltIn());
    EXPECT_EQ(ui.wb.navigations(), before + 1);
    EXPECT_FALSE(ui.tFixBanner.running());
    EXPECT_FALSE(banner.bBannerHasLink());

    serve("banner.txt", "1\nhttp://pics.test/a.gif\nhttp://l.test/x.html\n");
    banner.StartBanner();
    tick();
    EXPECT_EQ(ui.wb.picture(), kGif);
    ui.wb.navigateError();
    timers.advance(250);
    EXPECT_TRUE(showsBuiltIn());
    ui.wb.click();
    EXPECT_TRUE(desktop.urls.empty());
}

TEST_F(Banner_, ClickOpensTheLinkOfTheBannerShown) {
    serve("banner.txt",
          "3\nhttp://pics.test/a.gif\nhttp://news.test/a.html\nhttp://pics.test/b.png\n"
          "file:///etc/passwd\nhttp://pics.test/a.gif\nhttp://news.test/c.html\r\n");
    banner.StartBanner();
    ui.wb.click();  // the built-in picture
    tick();
    ui.wb.click();
    tick();
    ui.wb.click();  // a link that is not a web page
    tick();
    ui.wb.click();
    ui.wb.Click.raise();
    tick();
    ui.wb.click();  // the built-in picture again
    EXPECT_EQ(desktop.urls,
              (std::vector<std::string>{"http://news.test/a.html", "http://news.test/c.html",
                                        "http://news.test/c.html"}));
}

TEST_F(Banner_, RotationPausesWhileMinimisedOrInGame) {
    serveTwoBanners();
    banner.StartBanner();
    ui.tBanner.stop();
    ui.frmSQD.setWindowState(WindowState::Minimized);
    banner.ResumeBannerRotation();
    EXPECT_FALSE(ui.tBanner.running());
    ui.frmSQD.setWindowState(WindowState::Normal);
    state.bGameInFront = true;
    banner.ResumeBannerRotation();
    EXPECT_FALSE(ui.tBanner.running());
    state.bGameInFront = false;
    banner.ResumeBannerRotation();
    EXPECT_TRUE(ui.tBanner.running());
}

TEST_F(Banner_, ResumingARunningRotationDoesNotRestartItsCountdown) {
    serveTwoBanners();
    banner.StartBanner();
    timers.advance(40000);
    banner.ResumeBannerRotation();
    timers.advance(5000);
    EXPECT_EQ(ui.wb.picture(), kGif);
}

TEST_F(Banner_, TickDuringAnotherRequestWaitsForTheNextPeriod) {
    serveTwoBanners();
    serve("update.txt", "www.squadlink.org/Squadlink\n1");
    banner.StartBanner();
    timers.advance(Banner::kRotationMs - 10);
    http.whileWaiting = [&] {
        http.whileWaiting = nullptr;
        timers.advance(10);
    };
    updates.CheckForUpdate(false);
    EXPECT_TRUE(showsBuiltIn());
    EXPECT_TRUE(ui.tBanner.running());
    tick();
    EXPECT_EQ(ui.wb.picture(), kGif);
}

TEST_F(Banner_, AnyDatagramResumesThePausedRotation) {
    FakeLinkRig link;
    link.link->context().banner = &banner;
    link.startFighter();
    banner.StartBanner();
    ui.tBanner.stop();
    link.deliver("9", "10.0.0.9");
    EXPECT_TRUE(ui.tBanner.running());
}

// A later start finds its own picture already there and leaves that file alone; anything else
// in its place (an old or broken picture, a link to another file) is replaced by a file of its
// own.
TEST_F(Banner_, TheBuiltInPictureIsWrittenOnlyWhereTheFileDiffers) {
    namespace fs = std::filesystem;
    const auto contents = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string{std::istreambuf_iterator<char>(in), {}};
    };
    banner.ShowDefaultBanner();
    const fs::file_time_type first = fs::last_write_time(builtInPath());
    fs::last_write_time(builtInPath(), first - std::chrono::hours(1));
    banner.ShowDefaultBanner();
    EXPECT_EQ(fs::last_write_time(builtInPath()), first - std::chrono::hours(1));

    const std::string picture(builtInBanner());
    const std::string other = folder.path() + "/other.gif";
    for (const std::string& old : {picture.substr(0, picture.size() - 1), picture + "x",
                                   std::string("GIF89a"), std::string()}) {
        std::ofstream(builtInPath(), std::ios::binary | std::ios::trunc) << old;
        banner.ShowDefaultBanner();
        EXPECT_EQ(contents(builtInPath()), picture);
    }
    std::ofstream(other, std::ios::binary) << picture;
    fs::remove(builtInPath());
    fs::create_symlink(other, builtInPath());
    banner.ShowDefaultBanner();
    EXPECT_FALSE(fs::is_symlink(builtInPath()));
    EXPECT_EQ(contents(builtInPath()), picture);
    EXPECT_EQ(ui.wb.locationName(), "file://" + builtInPath());
}

TEST_F(Banner_, UnwritableProgramFolderUsesTheUserDataFolder) {
    test::TempFolder user;
    std::filesystem::create_directories(folder.path() + "/data");
    // A file where the data folder's banner must go makes the program's folder unusable.
    std::filesystem::create_directories(builtInPath() + "/blocked");
    UpdateContext other = context;
    other.userDataFolder = user.path();
    Banner fallback(other);
    fallback.ShowDefaultBanner();
    EXPECT_EQ(ui.wb.locationName(), "file://" + user.path() + "/data/banner.gif");
    other.userDataFolder.clear();
    Banner none(other);
    none.ShowDefaultBanner();
    EXPECT_EQ(ui.wb.locationName(), "");
    EXPECT_EQ(ui.wb.picture(), "");
}

}  // namespace
