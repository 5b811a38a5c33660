#pragma once

#include <array>
#include <vector>

#include "core/model/BannerView.h"
#include "core/model/CheckBox.h"
#include "core/model/CommandButton.h"
#include "core/model/FormModel.h"
#include "core/model/HintPicture.h"
#include "core/model/Label.h"
#include "core/model/ListBox.h"
#include "core/model/MenuItem.h"
#include "core/model/OptionButton.h"
#include "core/model/PictureBox.h"
#include "core/model/RichTextBox.h"
#include "core/model/ScrollBar.h"
#include "core/model/TabControl.h"
#include "core/model/TextBox.h"
#include "core/model/Timer.h"

namespace squadlink {

namespace tab {
inline constexpr int Configuration = 0;
inline constexpr int Fighter = 1;
inline constexpr int Connections = 2;
inline constexpr int Game = 3;
inline constexpr int Chat = 4;
inline constexpr int Tools = 5;
inline constexpr int Misc = 6;
}  // namespace tab

// Every control of the main window, named as the behaviour names it. The behaviour reads and
// writes these; the Qt window mirrors each in a widget whose objectName is the same name.
struct WindowModel {
    WindowModel();
    WindowModel(const WindowModel&) = delete;
    WindowModel& operator=(const WindowModel&) = delete;

    std::vector<Control*> controls();
    std::vector<Timer*> timers();

    FormModel frmSQD{"frmSQD"};
    TabControl Tabek{
        "Tabek",
        {"Configuration  ", "Fighter  ", "Connections  ", "Game  ", "Chat  ", "Tools  ", "Misc  "}};

    // Configuration tab.
    Label fSettings{"fSettings"};
    Label lNick{"lNick"};
    TextBox tNick{"tNick"};
    OptionButton oServer{"oServer"};
    OptionButton oClient{"oClient"};
    CheckBox chSound{"chSound"};
    CheckBox chPop{"chPop"};
    CheckBox chFeedback{"chFeedback"};
    CheckBox chAutoConnect{"chAutoConnect"};
    Label lFirewall{"lFirewall"};
    Label fPaths{"fPaths"};
    Label lHL{"lHL"};
    CommandButton coSearchHL{"coSearchHL"};
    CommandButton coHL{"coHL"};
    Label lPathHL{"lPathHL"};
    Label lCD{"lCD"};
    CommandButton coCD{"coCD"};
    Label lPathCD{"lPathCD"};

    // Fighter tab.
    Label fClientConnect{"fClientConnect"};
    TextBox tServer{"tServer"};
    CommandButton coConnect{"coConnect"};
    Label lServer{"lServer"};
    Label lPassword{"lPassword"};
    Label lProtection{"lProtection"};
    Label lClientPing{"lClientPing"};
    CommandButton coPasteAddress{"coPasteAddress"};
    CommandButton coPingGame{"coPingGame"};
    CommandButton coSendPing{"coSendPing"};
    // The pair of console-command copy buttons: index 0 here, index 1 on the Game tab.
    // The Fighter tab's and the Game tab's copy of the console command.
    std::array<CommandButton, 2> coCopyCommand{CommandButton{"coCopyCommand(0)"},
                                               CommandButton{"coCopyCommand(1)"}};
    Label lPlay{"lPlay"};
    CommandButton coPlay{"coPlay"};

    // Connections tab.
    Label fServerInfo{"fServerInfo"};
    Label lWAAddress{"lWAAddress"};
    CommandButton coRefresh{"coRefresh"};
    CommandButton coCopyWAIP{"coCopyWAIP"};
    CommandButton coWALink{"coWALink"};
    Label fConnectedClients{"fConnectedClients"};
    Label lNickCaption{"lNickCaption"};
    Label lIPCaption{"lIPCaption"};
    Label lPingCaption{"lPingCaption"};
    ListBox lbFighters{"lbFighters"};
    Label lKickBanHint{"lKickBanHint"};
    CommandButton coKick{"coKick"};
    CommandButton coBan{"coBan"};

    // Game tab.
    Label fMakeGame{"fMakeGame"};
    TextBox tGame{"tGame"};
    TextBox tPassword{"tPassword"};
    Label lGameName{"lGameName"};
    Label lGameSecure{"lGameSecure"};
    Label lServerPing{"lServerPing"};
    Label lMapPlayers{"lMapPlayers"};
    Label lServerType{"lServerType"};
    Label imgServerType{"imgServerType"};
    CommandButton coSendInfo{"coSendInfo"};
    CommandButton coPasteGame{"coPasteGame"};
    CommandButton coScan{"coScan"};
    Label fPlayGame{"fPlayGame"};
    Label lWAPlayGame{"lWAPlayGame"};
    CommandButton coWAPlayGame{"coWAPlayGame"};
    Label lNoteCD{"lNoteCD"};

    // Chat tab.
    RichTextBox rtb{"rtb"};
    TextBox tChat{"tChat"};
    Label fSmiley{"fSmiley"};
    OptionButton oSmiley1{"oSmiley1"};
    OptionButton oSmiley2{"oSmiley2"};
    OptionButton oSmiley3{"oSmiley3"};

    // Tools tab: the reflex tester.
    Label fReflex{"fReflex"};
    PictureBox pbReflex{"pbReflex"};
    Label lReflexTest{"lReflexTest"};
    Label lReflexTime0{"lReflexTime0"};
    Label lReflexTime1{"lReflexTime1"};
    Label lReflexTime2{"lReflexTime2"};
    Label lReflexTime3{"lReflexTime3"};
    Label lReflexTime4{"lReflexTime4"};
    Label lReflexAverage{"lReflexAverage"};
    CommandButton coReflexClear{"coReflexClear"};
    Label lReflexReset{"lReflexReset"};
    Label lReflex{"lReflex"};
    Label* lReflexTime(int index) {
        Label* const labels[] = {&lReflexTime0, &lReflexTime1, &lReflexTime2, &lReflexTime3,
                                 &lReflexTime4};
        return labels[index];
    }

    // Tools tab: the colour manager; the hot keys move the gamma slider.
    Label fCM{"fCM"};
    Label lCM{"lCM"};
    CommandButton coTurn{"coTurn"};
    Label lBrightness{"lBrightness"};
    ScrollBar hsBrightness{"hsBrightness", 40, 160, 10, 100};
    Label lBValue{"lBValue"};
    Label lContrast{"lContrast"};
    ScrollBar hsContrast{"hsContrast", 30, 180, 10, 100};
    Label lCValue{"lCValue"};
    Label lGamma{"lGamma"};
    ScrollBar hsGamma{"hsGamma", 50, 600, 50, 100};
    Label lGValue{"lGValue"};
    HintPicture pbGamaUp{"pbGamaUp"};
    HintPicture pbGamaDown{"pbGamaDown"};
    Label lResetCM{"lResetCM"};
    CommandButton coResetCM{"coResetCM"};
    CheckBox chAutoCM{"chAutoCM"};
    Label lNoteCM{"lNoteCM"};

    // Banner strip above the tabs.
    BannerView wb{"wb"};

    // Misc tab.
    Label fQuickLinks{"fQuickLinks"};
    std::array<Label, 6> lIRCLinks{Label{"lIRCLinks(0)"}, Label{"lIRCLinks(1)"},
                                   Label{"lIRCLinks(2)"}, Label{"lIRCLinks(3)"},
                                   Label{"lIRCLinks(4)"}, Label{"lIRCLinks(5)"}};
    std::array<Label, 3> lWWWLink{Label{"lWWWLink(0)"}, Label{"lWWWLink(1)"}, Label{"lWWWLink(2)"}};
    Label fFocus{"fFocus"};
    CheckBox chFocus{"chFocus"};
    Label fReset{"fReset"};
    Label lReset{"lReset"};
    CommandButton coDelete{"coDelete"};

    // Status bar.
    Label imgStatusOn{"imgStatusOn"};
    Label imgStatusOff{"imgStatusOff"};
    Label lCompName{"lCompName"};
    Label lUserIP{"lUserIP"};
    Label lDate{"lDate"};
    Label lTime{"lTime"};

    // Timers.
    Timer tDelayUpdate{"tDelayUpdate"};
    Timer tTimeout{"tTimeout"};
    Timer tFlood{"tFlood"};
    Timer tWaitCD{"tWaitCD"};
    Timer tFixBanner{"tFixBanner"};
    Timer t1sec{"t1sec"};
    Timer tBanner{"tBanner"};
    Timer tSW{"tSW"};

    // Roster menu.
    MenuItem mKick{"mKick", "Kick"};
    MenuItem mBan{"mBan", "Ban"};
    MenuItem mKickBanSeparator{"mKickBanSeparator", "-"};
    MenuItem mSelectAll{"mSelectAll", "Select All"};
    MenuItem mInvertSelection{"mInvertSelection", "Invert Selection"};
    MenuItem mClearSelection{"mClearSelection", "Clear Selection"};
    MenuItem mKickBan{
        "mKickBan",
        "KickBan",
        {&mKick, &mBan, &mKickBanSeparator, &mSelectAll, &mInvertSelection, &mClearSelection}};

    // Chat view menu.
    MenuItem mOpenLink{"mOpenLink", "Open link"};
    MenuItem mCopyLink{"mCopyLink", "Copy link"};
    MenuItem mLinkMenu{"mLinkMenu", "LinkMenu", {&mOpenLink, &mCopyLink}};
    // Menu bar.
    MenuItem mUpgradeCheck{"mUpgradeCheck", "Check for &updates"};
    MenuItem mVisitHomepage{"mVisitHomepage", "Go to &homepage"};
    MenuItem mSendMail{"mSendMail", "Send e-&mail to Orvell"};
    MenuItem mFileSeparator{"mFileSeparator", "-"};
    MenuItem mExit{"mExit", "&Close"};
    MenuItem mFile{
        "mFile", "&File", {&mUpgradeCheck, &mVisitHomepage, &mSendMail, &mFileSeparator, &mExit}};
    MenuItem mHelpContents{"mHelpContents", "&Help"};
    MenuItem mHelpSeparator{"mHelpSeparator", "-"};
    MenuItem mAbout{"mAbout", "&About"};
    MenuItem mHelp{"mHelp", "&Help", {&mHelpContents, &mHelpSeparator, &mAbout}};

    // Notification-area menu.
    MenuItem mSysUpgradeCheck{"mSysUpgradeCheck", "Check for updates"};
    MenuItem mSysVisitHomepage{"mSysVisitHomepage", "Go to homepage"};
    MenuItem mSysSendMail{"mSysSendMail", "Send e-mail to Orvell"};
    MenuItem mSysSeparator1{"mSysSeparator1", "-"};
    MenuItem mSysHelp{"mSysHelp", "Help"};
    MenuItem mSysSeparator2{"mSysSeparator2", "-"};
    MenuItem mSysAbout{"mSysAbout", "About"};
    MenuItem mSysSeparator3{"mSysSeparator3", "-"};
    MenuItem mSysExit{"mSysExit", "Close"};
    MenuItem mSysTray{"mSysTray",
                      "SysTray",
                      {&mSysUpgradeCheck, &mSysVisitHomepage, &mSysSendMail, &mSysSeparator1,
                       &mSysHelp, &mSysSeparator2, &mSysAbout, &mSysSeparator3, &mSysExit}};
};

}  // namespace squadlink
