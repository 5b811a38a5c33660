#include "shell/model/WindowModel.h"

namespace squadlink {

WindowModel::WindowModel() {
    OptionButton::makeGroup({&oServer, &oClient});
    // Wide enough for the seven tab captions in the desktop's proportional font.
    frmSQD.setSize(540, 496);
    // Items that belong to tools not built yet stay visible but disabled.
    for (MenuItem* item : {&mSysUpdate, &mSysHomepage, &mSysMail, &mSysHelp, &mSysAbout}) {
        item->setEnabled(false);
    }
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
            &coPasteAddress,
            &coPingGame,
            &coSendPing,
            &coCopyCommand0,
            &fServerInfo,
            &lWAAddress,
            &coRefresh,
            &coCopyWAIP,
            &coWALink,
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
            &coPasteGame,
            &coScan,
            &coCopyCommand1,
            &rtb,
            &tChat,
            &hsGamma,
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
            &mSysUpdate,
            &mSysHomepage,
            &mSysMail,
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
