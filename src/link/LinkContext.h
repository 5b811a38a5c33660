#pragma once

#include "core/BannerRotation.h"
#include "core/Context.h"
#include "core/GameInfoSource.h"
#include "core/GameServerReplies.h"

namespace squadlink {

class ArrangerSide;
class FighterSide;
class FloodGuard;
class KickBan;

// The program's context plus the link's own parts, so that each part can reach the others.
struct LinkContext : Context {
    explicit LinkContext(const Context& context) : Context(context) {}

    ArrangerSide* arranger = nullptr;
    FighterSide* fighter = nullptr;
    FloodGuard* flood = nullptr;
    KickBan* kickBan = nullptr;
    // Any arriving datagram lets a paused banner rotation go on.
    BannerRotation* banner = nullptr;
    // The game server tools: they take their replies off the socket and know the game info.
    GameServerReplies* gameServer = nullptr;
    const GameInfoSource* gameInfo = nullptr;
};

}  // namespace squadlink
