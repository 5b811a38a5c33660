#include "Captions.h"

namespace squadlink {

void applyCaptions(WindowModel& model) {
    model.fSettings.setCaption("Settings");
    model.lNick.setCaption("Nick:");
    model.oServer.setCaption("Server (you are War Arranger)");
    model.oClient.setCaption("Client (you are Fighter)");
    model.chSound.setCaption("Sounds");
    model.chPop.setCaption("Pop-up when not in game");
    model.chFeedback.setCaption("Feedback messages");
    model.chAutoConnect.setCaption(
        "Automatically connect to War Arranger when clicking on SQD link (sqd://server)");
    model.lFirewall.setCaption(
        "NOTE: If you are using a firewall then allow Squadlink to use ports 80, 27220 and 27221");

    model.fClientConnect.setCaption("Connection to War Arranger");
    model.coConnect.setCaption("Connect");
    model.coPasteAddress.setCaption("Paste");
    model.coPingGame.setCaption("Ping");
    model.coSendPing.setCaption("Report");
    model.coCopyCommand0.setCaption("Copy");

    model.fServerInfo.setCaption("Your contact info");
    model.coRefresh.setCaption("Refresh");
    model.coCopyWAIP.setCaption("Copy");
    model.coWALink.setCaption("Copy link");
    model.fConnectedClients.setCaption("Connected Fighters");
    model.lNickCaption.setCaption("Nick:");
    model.lIPCaption.setCaption("IP address:");
    model.lPingCaption.setCaption("Game ping:");
    model.lKickBanHint.setCaption("Click to kick or ban selected Fighter(s)");
    model.coKick.setCaption("Kick");
    model.coBan.setCaption("Ban");

    model.fMakeGame.setCaption("Game info");
    model.coSendInfo.setCaption("Send");
    model.coPasteGame.setCaption("Paste");
    model.coScan.setCaption("Scan");
    model.coCopyCommand1.setCaption("Copy");

    model.fReset.setCaption("Reset to defaults");
    model.lReset.setCaption("Click to delete all registry entries used by Squadlink");
    model.coDelete.setCaption("Delete");
}

}  // namespace squadlink
