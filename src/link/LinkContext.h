#pragma once

#include "chat/ChatView.h"
#include "core/GameInfoSource.h"
#include "core/GameServerReplies.h"
#include "platform/Platform.h"
#include "shell/Attention.h"
#include "shell/ErrorGuard.h"
#include "shell/FormState.h"
#include "shell/Lifecycle.h"
#include "shell/Messages.h"
#include "shell/SettingsStore.h"
#include "shell/model/WindowModel.h"

namespace squadlink {

class ArrangerSide;
class FighterSide;
class FloodGuard;
class KickBan;

// What the link's classes share: the window model, the form state, the platform services and
// each other.
struct LinkContext {
    WindowModel& ui;
    FormState& state;
    Platform& platform;
    Messages& messages;
    SettingsStore& settings;
    ErrorGuard& guard;
    Lifecycle& lifecycle;
    ChatView& chat;
    Attention& attention;

    ArrangerSide* arranger = nullptr;
    FighterSide* fighter = nullptr;
    FloodGuard* flood = nullptr;
    KickBan* kickBan = nullptr;
    // The game server tools: they take their replies off the socket and know the game info.
    GameServerReplies* gameServer = nullptr;
    const GameInfoSource* gameInfo = nullptr;

    UdpSocket& socket() const { return platform.socket; }
    void doEvents() const { platform.pump.doEvents(); }
    bool arrangerMode() const { return ui.oServer.value(); }
    bool fighterMode() const { return ui.oClient.value(); }
};

}  // namespace squadlink
