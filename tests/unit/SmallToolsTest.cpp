#include <gtest/gtest.h>

#include <string>

#include "support/UpdateRig.h"

using namespace squadlink;
using squadlink::test::UpdateRig;

namespace {

class SmallTools_ : public ::testing::Test, public UpdateRig {};

TEST_F(SmallTools_, MenuBarAndTrayTwinsDoTheSame) {
    serve("update.txt", "www.squadlink.org/Squadlink\n1");
    const std::pair<MenuItem*, MenuItem*> twins[] = {{&ui.mUpgradeCheck, &ui.mSysUpgradeCheck},
                                                     {&ui.mVisitHomepage, &ui.mSysVisitHomepage},
                                                     {&ui.mSendMail, &ui.mSysSendMail},
                                                     {&ui.mHelpContents, &ui.mSysHelp},
                                                     {&ui.mAbout, &ui.mSysAbout}};
    for (const auto& [bar, tray] : twins) {
        SCOPED_TRACE(bar->name());
        boxes.shown.clear();
        desktop.urls.clear();
        desktop.files.clear();
        http.requests.clear();
        bar->click();
        const auto urls = desktop.urls;
        const auto files = desktop.files;
        const auto requests = http.requests;
        const auto shown = boxes.shown.size();
        tray->click();
        EXPECT_EQ(desktop.urls.size(), 2 * urls.size());
        EXPECT_EQ(desktop.files.size(), 2 * files.size());
        EXPECT_EQ(http.requests.size(), 2 * requests.size());
        EXPECT_EQ(boxes.shown.size(), 2 * shown);
        EXPECT_FALSE(urls.empty() && files.empty() && requests.empty() && shown == 0);
        EXPECT_TRUE(tray->enabled());
    }
    ui.mExit.click();
    EXPECT_EQ(closes, 1);
}

TEST_F(SmallTools_, TargetsOfTheCommands) {
    ui.mVisitHomepage.click();
    settingsBackend.values["Home"] = "mirror.example.net/sl";
    ui.mVisitHomepage.click();
    ui.mSendMail.click();
    ui.mHelpContents.click();
    EXPECT_EQ(desktop.urls,
              (std::vector<std::string>{
                  "http://www.squadlink.org/Squadlink", "http://mirror.example.net/sl",
                  "mailto:orvell@squadlink.org?subject=- - - Squadlink - - -"}));
    EXPECT_EQ(desktop.files, (std::vector<std::string>{folder.path() + "/Help.txt"}));
    ui.mAbout.click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].caption, "Squadlink v1.1.0 - About");
    EXPECT_EQ(boxes.shown[0].flags, mb::Information);
    EXPECT_EQ(boxes.shown[0].text.rfind("Squadlink   \r\nVersion 1.1.0   \r\n", 0), 0u);
}

TEST_F(SmallTools_, EveryFailedLaunchSaysWhichProgramFailed) {
    desktop.succeed = false;
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { ui.mSysVisitHomepage.click(); }, "Launching default web browser program failed"},
        {[&] { ui.mSysSendMail.click(); }, "Launching default e-mail program failed"},
        {[&] { ui.mSysHelp.click(); }, "Launching default text viewer program failed"},
        {[&] { ui.lIRCLinks[3].Click.raise(); },
         "Launching default internet relay chat program failed"},
        {[&] { ui.lWWWLink[1].Click.raise(); }, "Launching default web browser program failed"},
    };
    for (const auto& [action, message] : cases) {
        SCOPED_TRACE(message);
        boxes.shown.clear();
        action();
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, message + "   ");
        EXPECT_EQ(boxes.shown[0].flags, mb::Warning);
        EXPECT_EQ(boxes.shown[0].caption, "Squadlink v1.1.0 - Warning");
    }
    EXPECT_FALSE(lifecycle.ended());
}

TEST_F(SmallTools_, QuickLinksByIndex) {
    const std::pair<const char*, const char*> irc[] = {
        {"IRC channel #5on5", "irc:///5on5"}, {"IRC channel #4on4", "irc:///4on4"},
        {"IRC channel #3on3", "irc:///3on3"}, {"IRC channel #fw", "irc:///fw"},
        {"IRC channel #pcw", "irc:///pcw"},   {"IRC channel #esl.match", "irc:///esl.match"}};
    for (std::size_t i = 0; i < std::size(irc); ++i) {
        EXPECT_EQ(ui.lIRCLinks[i].caption(), irc[i].first);
        ui.lIRCLinks[i].Click.raise();
        EXPECT_EQ(desktop.urls.back(), irc[i].second);
    }
    EXPECT_EQ(ui.lWWWLink[0].caption(), "Orvell homepage");
    EXPECT_EQ(ui.lWWWLink[1].caption(), "Electronic Sports League");
    for (std::size_t i = 0; i < ui.lWWWLink.size(); ++i) {
        ui.lWWWLink[i].Click.raise();
        EXPECT_EQ(desktop.urls.back().rfind("http://", 0), 0u);
    }
    EXPECT_EQ(desktop.urls.size(), 9u);
    EXPECT_EQ(SmallTools::ircTarget(6), "");
    EXPECT_EQ(SmallTools::webTarget(-1), "");
}

TEST_F(SmallTools_, FocusBoxIsShownDisabledAndUnchecked) {
    EXPECT_EQ(ui.chFocus.caption(),
              "Allow Windows applications to steal focus and pop-up when requesting attention");
    EXPECT_TRUE(ui.chFocus.visible());
    EXPECT_FALSE(ui.chFocus.enabled());
    EXPECT_FALSE(ui.chFocus.checked());
}

}  // namespace
