#pragma once

#include <memory>
#include <string>
#include <utility>

#include "core/model/WindowModel.h"
#include "gameserver/GameServerTools.h"
#include "link/Link.h"
#include "shell/Timers.h"
#include "support/FakeLifecycle.h"
#include "support/FakeServices.h"
#include "support/FakeSocket.h"
#include "support/FakeTimerDriver.h"

namespace squadlink {

// One copy of the program's link on the given socket and event pump; time, dialogs, the chat
// view and the settings store are fakes.
template <class Socket, class Pump>
class LinkRig {
public:
    template <class... SocketArgs>
    explicit LinkRig(SocketArgs&&... socketArgs) : socket(std::forward<SocketArgs>(socketArgs)...) {
        state.sAppCaption = "Squadlink v1.1.0";
        messages.watchShutDown(lifecycle);
        link = std::make_unique<Link>(
            Context{ui, state, platform, messages, settings, guard, lifecycle, chat, attention});
        link->connectHandlers();
        gameServer = std::make_unique<GameServerTools>(
            link->context(), *link, link->flood(), [this] { link->fighter().coConnect_Click(); });
        link->attachGameServer(&gameServer->query(), &gameServer->gameInfo());
        gameServer->connectHandlers();
        InitTimers(ui);
        for (Timer* timer : {&ui.tFlood, &ui.tTimeout, &ui.t1sec}) {
            timers.attach(*timer);
        }
    }
    LinkRig(const LinkRig&) = delete;
    LinkRig& operator=(const LinkRig&) = delete;

    void startArranger(const std::string& nick = "Boss") {
        ui.tNick.setText(nick);
        ui.oServer.setValue(true);
        link->arranger().EnterArrangerMode(false);
        state.bFormReady = true;
        ui.t1sec.start();
    }
    void startFighter(const std::string& nick = "Viper", bool restoreAddress = true) {
        ui.tNick.setText(nick);
        ui.oClient.setValue(true);
        link->fighter().EnterFighterMode(restoreAddress);
        state.bFormReady = true;
        ui.t1sec.start();
    }

    WindowModel ui;
    FormState state;
    Socket socket;
    Pump pump;
    FakeClock clock;
    FakeMessageBox boxes;
    FakeSettings settingsBackend;
    FakeSound sound;
    FakeWindowSystem windows;
    FakeApplication application;
    FakeClipboard clipboard;
    FakeDesktop desktop;
    FakeChatView chat;
    FakeAttention attention;
    FakeLifecycle lifecycle;
    FakeTimerDriver timers{clock};
    Platform platform{socket, pump,    clock,       boxes,     settingsBackend,
                      sound,  windows, application, clipboard, desktop};
    SettingsStore settings{settingsBackend};
    Messages messages{boxes, state.sAppCaption};
    ErrorGuard guard{messages, lifecycle};
    std::unique_ptr<Link> link;
    std::unique_ptr<GameServerTools> gameServer;
};

// A copy on a socket that records what it sends and takes scripted arrivals.
class FakeLinkRig : public LinkRig<FakeSocket, FakePump> {
public:
    // Delivers a plain message scrambled, as a peer sends it.
    void deliver(const std::string& plain, const std::string& sender);
    // The i-th recorded send, unscrambled (negative counts from the end).
    std::string sentPlain(int i) const;
    std::size_t sentCount() const { return socket.sent.size(); }
    // This Fighter connects to a War Arranger, which accepts with `plainAccept`.
    void connectTo(const std::string& address, const std::string& plainAccept);
    // A Fighter joins this War Arranger.
    void join(const std::string& nick, const std::string& address);
    // Makes the War Arranger's game info known.
    void setGameInfo(const std::string& server, const std::string& password, bool cheatingDeath);
};

}  // namespace squadlink
