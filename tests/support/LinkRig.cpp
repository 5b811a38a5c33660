#include "support/LinkRig.h"

#include "link/Codec.h"

namespace squadlink {

void FakeLinkRig::deliver(const std::string& plain, const std::string& sender) {
    socket.deliver(codec::scramble(plain), sender);
}

std::string FakeLinkRig::sentPlain(int i) const {
    const auto count = static_cast<int>(socket.sent.size());
    const int index = i < 0 ? count + i : i;
    if (index < 0 || index >= count) {
        return "<none>";
    }
    std::string text = socket.sent[static_cast<std::size_t>(index)].data;
    codec::unscramble(text);
    return text;
}

void FakeLinkRig::connectTo(const std::string& address, const std::string& plainAccept) {
    ui.tServer.setText(address);
    link->fighter().coConnect_Click();
    deliver(plainAccept, address);
    // Past the flood lock the Connect took.
    timers.advance(600);
}

void FakeLinkRig::join(const std::string& nick, const std::string& address) {
    deliver(codec::build('1', {nick}), address);
}

void FakeLinkRig::setGameInfo(const std::string& server, const std::string& password,
                              bool cheatingDeath) {
    ui.tGame.setText(server);
    ui.tPassword.setText(password);
    ui.lGameName.setCaption("Clan War Server");
    ui.lGameSecure.setCaption(cheatingDeath ? "Cheating-Death (C-D)" : "Valve Anti-Cheat (VAC)");
}

}  // namespace squadlink
