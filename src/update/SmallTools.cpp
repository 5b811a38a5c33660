#include "update/SmallTools.h"

#include <array>

namespace squadlink {

namespace {

struct QuickLink {
    const char* caption;
    const char* target;
};

constexpr std::array<QuickLink, SmallTools::kIrcLinkCount> kIrcLinks{{
    {"IRC channel #5on5", "5on5"},
    {"IRC channel #4on4", "4on4"},
    {"IRC channel #3on3", "3on3"},
    {"IRC channel #fw", "fw"},
    {"IRC channel #pcw", "pcw"},
    {"IRC channel #esl.match", "esl.match"},
}};

constexpr std::array<QuickLink, SmallTools::kWebLinkCount> kWebLinks{{
    {"Orvell homepage", "orvell.squadlink.org"},
    {"Electronic Sports League", "www.eslgaming.com"},
    {"vacbanned.com", "www.vacbanned.com"},
}};

constexpr const char* kBrowserFailed = "Launching default web browser program failed";

}  // namespace

void SmallTools::connectHandlers() {
    auto guarded = [this](auto handler) { return [this, handler] { m_ctx.guard.run(handler); }; };
    auto& ui = m_ctx.ui;
    // Each tray item does exactly what its twin in the menu bar does.
    for (MenuItem* item : {&ui.mUpgradeCheck, &ui.mSysUpgradeCheck}) {
        item->Click.connect(guarded([this] { mUpgradeCheck_Click(); }));
    }
    for (MenuItem* item : {&ui.mVisitHomepage, &ui.mSysVisitHomepage}) {
        item->Click.connect(guarded([this] { mVisitHomepage_Click(); }));
    }
    for (MenuItem* item : {&ui.mSendMail, &ui.mSysSendMail}) {
        item->Click.connect(guarded([this] { mSendMail_Click(); }));
    }
    for (MenuItem* item : {&ui.mHelpContents, &ui.mSysHelp}) {
        item->Click.connect(guarded([this] { mHelpContents_Click(); }));
    }
    for (MenuItem* item : {&ui.mAbout, &ui.mSysAbout}) {
        item->Click.connect(guarded([this] { mAbout_Click(); }));
    }
    ui.mExit.Click.connect([this] { mExit_Click(); });
    for (int i = 0; i < kIrcLinkCount; ++i) {
        ui.lIRCLinks[static_cast<std::size_t>(i)].Click.connect(
            guarded([this, i] { lIRCLinks_Click(i); }));
    }
    for (int i = 0; i < kWebLinkCount; ++i) {
        ui.lWWWLink[static_cast<std::size_t>(i)].Click.connect(
            guarded([this, i] { lWWWLink_Click(i); }));
    }
}

void SmallTools::initControls() {
    auto& ui = m_ctx.ui;
    for (std::size_t i = 0; i < kIrcLinks.size(); ++i) {
        ui.lIRCLinks[i].setCaption(kIrcLinks[i].caption);
    }
    for (std::size_t i = 0; i < kWebLinks.size(); ++i) {
        ui.lWWWLink[i].setCaption(kWebLinks[i].caption);
    }
    // Which window may take the foreground is the window manager's rule on Linux; the box
    // stays visible, unchecked and disabled, and says so.
    ui.chFocus.setValue(0);
    ui.chFocus.setEnabled(false);
}

void SmallTools::mUpgradeCheck_Click() {
    m_updates.CheckForUpdate(true);
}

void SmallTools::mVisitHomepage_Click() {
    const std::string home =
        m_ctx.settings.readText(key::Home, SettingsStore::defaultText(key::Home));
    if (!m_ctx.platform.desktop.openUrl("http://" + home)) {
        m_ctx.messages.warning(kBrowserFailed);
    }
}

void SmallTools::mSendMail_Click() {
    const std::string url =
        std::string("mailto:") + kAuthorMail + "?subject=- - - " + kAppTitle + " - - -";
    if (!m_ctx.platform.desktop.openUrl(url)) {
        m_ctx.messages.warning("Launching default e-mail program failed");
    }
}

void SmallTools::mExit_Click() {
    m_close();
}

std::string SmallTools::helpFilePath() const {
    std::string folder = m_ctx.programFolder;
    if (folder.empty() || folder.back() != '/') {
        folder.push_back('/');
    }
    return folder + "Help.txt";
}

void SmallTools::mHelpContents_Click() {
    if (!m_ctx.platform.desktop.openFile(helpFilePath())) {
        m_ctx.messages.warning("Launching default text viewer program failed");
    }
}

void SmallTools::mAbout_Click() {
    m_ctx.messages.ShowMessage(
        std::string(kAppTitle) + kLineBreak + "Version " + m_ctx.state.sVersion + kLineBreak +
            kLineBreak +
            "Brings a clan's War Arranger and Fighters together on one "
            "game server." +
            kLineBreak + "Homepage: http://" +
            m_ctx.settings.readText(key::Home, SettingsStore::defaultText(key::Home)),
        mb::Information, "About");
}

std::string SmallTools::ircTarget(int index) {
    if (index < 0 || index >= kIrcLinkCount) {
        return {};
    }
    return std::string("irc:///") + kIrcLinks[static_cast<std::size_t>(index)].target;
}

std::string SmallTools::webTarget(int index) {
    if (index < 0 || index >= kWebLinkCount) {
        return {};
    }
    return std::string("http://") + kWebLinks[static_cast<std::size_t>(index)].target;
}

void SmallTools::lIRCLinks_Click(int index) {
    const std::string target = ircTarget(index);
    if (!target.empty() && !m_ctx.platform.desktop.openUrl(target)) {
        m_ctx.messages.warning("Launching default internet relay chat program failed");
    }
}

void SmallTools::lWWWLink_Click(int index) {
    const std::string target = webTarget(index);
    if (!target.empty() && !m_ctx.platform.desktop.openUrl(target)) {
        m_ctx.messages.warning(kBrowserFailed);
    }
}

}  // namespace squadlink
