#include "core/model/WindowModel.h"

namespace squadlink {

WindowModel::WindowModel() {
    OptionButton::makeGroup({&oServer, &oClient});
    OptionButton::makeGroup({&oSmiley1, &oSmiley2, &oSmiley3});
    // Wide enough for the seven tab captions in the desktop's proportional font, tall enough
    // for the menu bar and the banner strip above the tabs.
    frmSQD.setSize(540, 582);
    // Design-time captions of frames, buttons, options, check boxes and column headings. Labels
    // that carry state (addresses, game details, status panes) start empty: the behaviour fills
    // them.
    fSettings.setCaption("Settings");
    lNick.setCaption("Nick:");
    oServer.setCaption("Server (you are War Arranger)");
    oClient.setCaption("Client (you are Fighter)");
    chSound.setCaption("Sounds");
    chPop.setCaption("Pop-up when not in game");
    chFeedback.setCaption("Feedback messages");
    chAutoConnect.setCaption(
        "Automatically connect to War Arranger when clicking on SQD link (sqd://server)");
    lFirewall.setCaption(
        "NOTE: If you are using a firewall then allow Squadlink to use ports 80, 27220 and 27221");

    fClientConnect.setCaption("Connection to War Arranger");
    coConnect.setCaption("Connect");

    fServerInfo.setCaption("Your contact info");
    coRefresh.setCaption("Refresh");
    fConnectedClients.setCaption("Connected Fighters");
    lNickCaption.setCaption("Nick:");
    lIPCaption.setCaption("IP address:");
    lPingCaption.setCaption("Game ping:");
    lKickBanHint.setCaption("Click to kick or ban selected Fighter(s)");
    coKick.setCaption("Kick");
    coBan.setCaption("Ban");

    coPingGame.setCaption("Ping");
    coSendPing.setCaption("Report");
    coPasteAddress.setCaption("Paste");
    coCopyWAIP.setCaption("Copy");
    coWALink.setCaption("Copy link");
    for (CommandButton& copy : coCopyCommand) {
        copy.setCaption("Copy");
    }

    fMakeGame.setCaption("Game info");
    coPasteGame.setCaption("Paste");
    coScan.setCaption("Scan");
    coSendInfo.setCaption("Send");

    fQuickLinks.setCaption("Quick links");
    fFocus.setCaption("Focus");
    fReset.setCaption("Reset to defaults");
    lReset.setCaption("Click to delete all registry entries used by Squadlink");
    coDelete.setCaption("Delete");
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
            &fPaths,
            &lHL,
            &coSearchHL,
            &coHL,
            &lPathHL,
            &lCD,
            &coCD,
            &lPathCD,
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
            &coCopyCommand[0],
            &coCopyCommand[1],
            &lPlay,
            &coPlay,
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
            &fPlayGame,
            &lWAPlayGame,
            &coWAPlayGame,
            &lNoteCD,
            &rtb,
            &tChat,
            &fSmiley,
            &oSmiley1,
            &oSmiley2,
            &oSmiley3,
            &fReflex,
            &pbReflex,
            &lReflexTest,
            &lReflexTime0,
            &lReflexTime1,
            &lReflexTime2,
            &lReflexTime3,
            &lReflexTime4,
            &lReflexAverage,
            &coReflexClear,
            &lReflexReset,
            &lReflex,
            &fCM,
            &lCM,
            &coTurn,
            &lBrightness,
            &hsBrightness,
            &lBValue,
            &lContrast,
            &hsContrast,
            &lCValue,
            &lGamma,
            &hsGamma,
            &lGValue,
            &pbGamaUp,
            &pbGamaDown,
            &lResetCM,
            &coResetCM,
            &chAutoCM,
            &lNoteCM,
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
            &mOpenLink,
            &mCopyLink,
            &mLinkMenu,
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
