#pragma once

#include <memory>
#include <string>

#include "link/Link.h"
#include "platform/fake/FakeLifecycle.h"
#include "platform/fake/FakeServices.h"
#include "platform/fake/FakeSocket.h"
#include "platform/fake/FakeTimerDriver.h"
#include "shell/model/WindowModel.h"

namespace squadlink {

// One copy of the program's link on fake services: a socket that records, virtual time,
// scripted message boxes and an in-memory settings store.
class FakeLinkRig {
public:
    FakeLinkRig();

    void startArranger(const std::string& nick = "Boss");
    void startFighter(const std::string& nick = "Viper");

    // Delivers a plain message scrambled, as a peer sends it.
    void deliver(const std::string& plain, const std::string& sender);
    // The i-th recorded send, unscrambled (negative counts from the end).
    std::string sentPlain(int i) const;
    std::size_t sentCount() const { return socket.sent.size(); }
    // A Fighter joins this War Arranger.
    void join(const std::string& nick, const std::string& address);
    // Makes the War Arranger's game info known.
    void setGameInfo(const std::string& server, const std::string& password, bool cheatingDeath);

    WindowModel ui;
    FormState state;
    FakeSocket socket;
    FakePump pump;
    FakeClock clock;
    FakeMessageBox boxes;
    FakeSettings settingsBackend;
    FakeSound sound;
    FakeWindowSystem windows;
    FakeApplication application;
    FakeChatView chat;
    FakeAttention attention;
    FakeLifecycle lifecycle;
    FakeTimerDriver timers{clock};
    Platform platform{socket, pump, clock, boxes, settingsBackend, sound, windows, application};
    SettingsStore settings{settingsBackend};
    Messages messages{boxes, state.sAppCaption};
    ErrorGuard guard{messages, lifecycle};
    std::unique_ptr<Link> link;
};

}  // namespace squadlink
