#pragma once

#include <vector>

#include "shell/model/CheckBox.h"
#include "shell/model/CommandButton.h"
#include "shell/model/FormModel.h"
#include "shell/model/HintPicture.h"
#include "shell/model/Label.h"
#include "shell/model/ListBox.h"
#include "shell/model/MenuItem.h"
#include "shell/model/OptionButton.h"
#include "shell/model/ScrollBar.h"
#include "shell/model/TabControl.h"
#include "shell/model/TextBox.h"
#include "shell/model/Timer.h"

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
    Label lPlay{"lPlay"};
    CommandButton coPlay{"coPlay"};

    // Connections tab.
    Label fServerInfo{"fServerInfo"};
    Label lWAAddress{"lWAAddress"};
    CommandButton coRefresh{"coRefresh"};
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
    Label fPlayGame{"fPlayGame"};
    Label lWAPlayGame{"lWAPlayGame"};
    CommandButton coWAPlayGame{"coWAPlayGame"};
    Label lNoteCD{"lNoteCD"};

    // Chat tab.
    Label rtb{"rtb"};
    TextBox tChat{"tChat"};

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

    // Misc tab.
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

    // Notification-area menu.
    MenuItem mSysUpdate{"mSysUpdate", "Check for updates"};
    MenuItem mSysHomepage{"mSysHomepage", "Go to homepage"};
    MenuItem mSysMail{"mSysMail", "Send e-mail to Orvell"};
    MenuItem mSysSeparator1{"mSysSeparator1", "-"};
    MenuItem mSysHelp{"mSysHelp", "Help"};
    MenuItem mSysSeparator2{"mSysSeparator2", "-"};
    MenuItem mSysAbout{"mSysAbout", "About"};
    MenuItem mSysSeparator3{"mSysSeparator3", "-"};
    MenuItem mSysExit{"mSysExit", "Close"};
    MenuItem mSysTray{"mSysTray",
                      "SysTray",
                      {&mSysUpdate, &mSysHomepage, &mSysMail, &mSysSeparator1, &mSysHelp,
                       &mSysSeparator2, &mSysAbout, &mSysSeparator3, &mSysExit}};
};

}  // namespace squadlink
