#include "shell/model/WindowModel.h"

namespace squadlink {

WindowModel::WindowModel() {
    OptionButton::makeGroup({&oServer, &oClient});
    // Wide enough for the seven tab captions in the desktop's proportional font.
    // Room for the menu bar and the banner strip above the tabs.
    frmSQD.setSize(540, 582);
    chFocus.setCaption(
        "Allow Windows applications to steal focus and pop-up when requesting attention");
}

std::vector<Control*> WindowModel::controls() {
    return {&frmSQD,
            &Tabek,
            &fSettings,
            &lNick,
            &tNick,
            &oServer,
            &oClient,
            &chSound,
            &chPop,
            &chFeedback,
            &chAutoConnect,
            &lFirewall,
            &fClientConnect,
            &tServer,
            &coConnect,
            &lServer,
            &lPassword,
            &lProtection,
            &lClientPing,
            &fServerInfo,
            &lWAAddress,
            &coRefresh,
            &fConnectedClients,
            &lNickCaption,
            &lIPCaption,
            &lPingCaption,
            &lbFighters,
            &lKickBanHint,
            &coKick,
            &coBan,
            &fMakeGame,
            &tGame,
            &tPassword,
            &lGameName,
            &lGameSecure,
            &lServerPing,
            &lMapPlayers,
            &lServerType,
            &imgServerType,
            &coSendInfo,
            &rtb,
            &tChat,
            &hsGamma,
            &wb,
            &fQuickLinks,
            &lIRCLinks[0],
            &lIRCLinks[1],
            &lIRCLinks[2],
            &lIRCLinks[3],
            &lIRCLinks[4],
            &lIRCLinks[5],
            &lWWWLink[0],
            &lWWWLink[1],
            &lWWWLink[2],
            &fFocus,
            &chFocus,
            &fReset,
            &lReset,
            &coDelete,
            &imgStatusOn,
            &imgStatusOff,
            &lCompName,
            &lUserIP,
            &lDate,
            &lTime,
            &mKick,
            &mBan,
            &mKickBanSeparator,
            &mSelectAll,
            &mInvertSelection,
            &mClearSelection,
            &mKickBan,
            &mUpgradeCheck,
            &mVisitHomepage,
            &mSendMail,
            &mFileSeparator,
            &mExit,
            &mFile,
            &mHelpContents,
            &mHelpSeparator,
            &mAbout,
            &mHelp,
            &mSysUpgradeCheck,
            &mSysVisitHomepage,
            &mSysSendMail,
            &mSysSeparator1,
            &mSysHelp,
            &mSysSeparator2,
            &mSysAbout,
            &mSysSeparator3,
            &mSysExit,
            &mSysTray};
}

std::vector<Timer*> WindowModel::timers() {
    return {&tDelayUpdate, &tTimeout, &tFlood, &tWaitCD, &tFixBanner, &t1sec, &tBanner, &tSW};
}

}  // namespace squadlink
