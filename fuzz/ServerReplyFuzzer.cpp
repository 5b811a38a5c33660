// Feeds arbitrary game-server replies to the reply parsers and to a War Arranger that is
// waiting for its scan, and checks that whatever is shown is a whole, consistent set of
// server details within the reply rules.
//
// Input layout:
//   byte 0  bit 0: also deliver the input through a War Arranger's socket after a scan
//           bit 1: deliver it a second time (a server answering twice)
//   then    the datagram exactly as a server would send it

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "gameserver/ServerReply.h"
#include "support/LinkRig.h"

using namespace squadlink;

namespace {

void check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

void checkDetails(const ServerDetails& details) {
    check(!details.name.empty() && details.name.size() <= 253);
    check(!details.map.empty() && details.map.size() <= 253);
    check(details.players >= 0 && details.players <= details.slotCount && details.slotCount <= 32);
    check(details.protection == kValveAntiCheat || details.protection == kCheatingDeath);
    check(details.serverType == "Windows dedicated server" ||
          details.serverType == "Windows listen server" ||
          details.serverType == "Linux dedicated server" ||
          details.serverType == "Linux listen server");
}

void throughTheWindow(const std::string& datagram, bool twice) {
    FakeLinkRig rig;
    rig.startArranger();
    rig.ui.tGame.setText("10.0.0.30:27015");
    rig.ui.coScan.click();
    const std::size_t sentBefore = rig.socket.sent.size();
    rig.clock.us += 12'000;
    rig.socket.deliver(datagram, "10.0.0.30");
    if (twice) {
        rig.socket.deliver(datagram, "10.0.0.30");
    }
    const auto& ui = rig.ui;
    const bool shown = !ui.lGameName.caption().empty();
    // All of the details or none of them.
    check(shown == !ui.lGameSecure.caption().empty());
    check(shown == !ui.lServerPing.caption().empty());
    check(shown == !ui.lMapPlayers.caption().empty());
    check(shown == !ui.lServerType.caption().empty());
    check(shown == !ui.imgServerType.caption().empty());
    if (shown) {
        check(ui.lServerPing.caption() == "11 ms");
        check(rig.settingsBackend.values["Game"] == "10.0.0.30:27015");
    }
    // A challenge is answered at most twice; nothing else is ever sent back.
    check(rig.socket.sent.size() <= sentBefore + 2);
    check(rig.boxes.shown.empty());
    check(!rig.lifecycle.ended());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::uint8_t flags = data[0];
    const std::string datagram(reinterpret_cast<const char*>(data + 1), size - 1);
    if (const auto details = ParseDetailsReply(datagram)) {
        checkDetails(*details);
        check(ClassifyReply(datagram) == ReplyKind::Details);
    }
    if (const auto details = ParseInfoReply(datagram)) {
        checkDetails(*details);
        check(ClassifyReply(datagram) == ReplyKind::Info);
    }
    if (const auto challenge = ParseChallenge(datagram)) {
        check(challenge->size() == 4);
    }
    if ((flags & 1) != 0) {
        throughTheWindow(datagram, (flags & 2) != 0);
    }
    return 0;
}
