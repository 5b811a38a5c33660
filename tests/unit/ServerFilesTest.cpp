#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "update/ServerFiles.h"

using namespace squadlink;
using namespace std::string_literals;

namespace {

struct UpdateCase {
    const char* name;
    std::string reply;
    bool parsed;
    std::string home;
    int release;
};

TEST(UpdateInfoFile, ParsesAsTheServerWritesIt) {
    const std::string longLine(254, 'a');
    const UpdateCase cases[] = {
        {"release 12", "www.squadlink.org/Squadlink\n12", true, "www.squadlink.org/Squadlink", 12},
        {"release 13", "www.squadlink.org/Squadlink\n13\n", true, "www.squadlink.org/Squadlink",
         13},
        {"blanks and line breaks before the number", "ab.cd\n \r\n  7xyz", true, "ab.cd", 7},
        {"no digits reads as release 0", "ab.cd\nlatest", true, "ab.cd", 0},
        {"a fraction rounds half to even", "ab.cd\n12.5", true, "ab.cd", 12},
        {"a fraction above half rounds up", "ab.cd\n12.51", true, "ab.cd", 13},
        {"release 255 is the largest", "ab.cd\n255", true, "ab.cd", 255},
        {"first line of 254 characters", longLine + "\n13", true, longLine, 13},
        {"four characters are too short", "ab\n1", false, "", 0},
        {"empty", "", false, "", 0},
        {"error page", "<html>404 Not Found</html>\n13", false, "", 0},
        {"error page in other letter case", "x.y\n404 NOT FOUND 13", false, "", 0},
        {"LF at position 1", "\nabcdef 13", false, "", 0},
        {"LF at position 2", "a\nbcdef 13", false, "", 0},
        {"release above 255", "ab.cd\n256", false, "", 0},
        {"huge release", "ab.cd\n99999999999999999999999", false, "", 0},
        {"negative release", "ab.cd\n-1", false, "", 0},
        {"first line of 255 characters", std::string(255, 'a') + "\n13", false, "", 0},
        {"no LF at all", "www.squadlink.org 13", false, "", 0},
    };
    for (const UpdateCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<UpdateInfo> info = parseUpdateInfo(c.reply);
        ASSERT_EQ(info.has_value(), c.parsed);
        if (info) {
            EXPECT_EQ(info->home, c.home);
            EXPECT_EQ(info->release, c.release);
        }
    }
}

struct BannerCase {
    const char* name;
    std::string reply;
    bool parsed;
    std::vector<std::string> images;
    std::vector<std::string> links;
};

TEST(BannerListFile, ParsesAsTheServerWritesIt) {
    const std::string a = "http://x.y/a.gif";
    const std::string b = "http://x.y/b.png";
    const std::string la = "http://x.y/a.html";
    const std::string lb = "http://x.y/b.html";
    const std::string longPicture = "http://x.y/" + std::string(243, 'p');  // 254 characters
    const BannerCase cases[] = {
        {"two banners with links",
         "2\n" + a + "\n" + la + "\n" + b + "\n" + lb,
         true,
         {a, b},
         {la, lb}},
        {"the last link is all the rest",
         "2\n" + a + "\n" + la + "\n" + b + "\n" + lb + "\n",
         true,
         {a, b},
         {la, lb + "\n"}},
        {"last picture line with its LF and nothing after",
         "2\n" + a + "\n" + la + "\n" + b + "\n",
         true,
         {a, b},
         {la, ""}},
        {"empty link in the middle", "2\n" + a + "\n\n" + b + "\n" + lb, true, {a, b}, {"", lb}},
        {"count with blanks and a fraction", " 1.4\n" + a + "\n" + la, true, {a}, {la}},
        {"picture line of 10 characters", "1\nhttp://x/a\n", true, {"http://x/a"}, {""}},
        {"picture line of 254 characters", "1\n" + longPicture + "\n", true, {longPicture}, {""}},
        {"picture line of 9 characters", "1\nhttp://xa\n" + la, false, {}, {}},
        {"last picture line without its LF", "2\n" + a + "\n" + la + "\n" + b, false, {}, {}},
        {"more banners announced than given",
         "3\n" + a + "\n" + la + "\n" + b + "\n" + lb,
         false,
         {},
         {}},
        {"link line without LF before the last banner", "2\n" + a + "\n" + la, false, {}, {}},
        {"picture line past 254 characters", "1\n" + longPicture + "q\n", false, {}, {}},
        {"link line past 254 characters",
         "2\n" + a + "\n" + std::string(255, 'l') + "\n" + b + "\n",
         false,
         {},
         {}},
        {"count line past 254 characters", std::string(254, ' ') + "1\n" + a + "\n", false, {}, {}},
        {"zero banners", "0\n" + a + "\n", false, {}, {}},
        {"no number", "none\n" + a + "\n", false, {}, {}},
        {"more than 255 banners", "256\n" + a + "\n", false, {}, {}},
        {"no LF at all", "1", false, {}, {}},
        {"empty", "", false, {}, {}},
        {"error page", "1\nhttp://x.y/404 Not Found\n", false, {}, {}},
    };
    for (const BannerCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<BannerList> list = parseBannerList(c.reply);
        ASSERT_EQ(list.has_value(), c.parsed);
        if (list) {
            EXPECT_EQ(list->images, c.images);
            EXPECT_EQ(list->links, c.links);
        }
    }
}

TEST(BannerListFile, EveryCutOfAValidFileParsesOrFailsCleanly) {
    const std::string full = "2\nhttp://x.y/a.gif\nhttp://x.y/a.html\nhttp://x.y/b.gif\nlink";
    for (std::size_t n = 0; n <= full.size(); ++n) {
        const std::optional<BannerList> list = parseBannerList(full.substr(0, n));
        if (list) {
            // Only cuts inside the last link leave a whole list.
            EXPECT_GE(n, full.size() - 4) << n;
            EXPECT_EQ(list->images.size(), 2u);
        }
    }
}

}  // namespace
