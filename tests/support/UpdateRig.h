#pragma once

#include <memory>
#include <string>

#include "core/ErrorGuard.h"
#include "shell/Timers.h"
#include "support/FakeHttpClient.h"
#include "support/FakeLifecycle.h"
#include "support/FakeServices.h"
#include "support/FakeSocket.h"
#include "support/FakeTimerDriver.h"
#include "support/TempFolder.h"
#include "update/Banner.h"
#include "update/SmallTools.h"
#include "update/UpdateCheck.h"

namespace squadlink::test {

// The update check, the banner and the small tools on fake services and virtual time, with
// the server's replies scripted by URL.
struct UpdateRig {
    static constexpr const char* kBase = "http://updates.test/Squadlink/";

    explicit UpdateRig(HttpClient* client = nullptr, std::string base = kBase)
        : server(client != nullptr ? client : &http, std::move(base)) {
        state.sAppCaption = "Squadlink v1.1.0";
        state.sVersion = "1.1.0";
        InitTimers(ui);
        for (Timer* timer : {&ui.tBanner, &ui.tFixBanner, &ui.tDelayUpdate}) {
            timers.attach(*timer);
        }
        banner.connectHandlers();
        tools.connectHandlers();
        tools.initControls();
        ui.tDelayUpdate.Tick.connect([this] { updates.tDelayUpdate_Timer(); });
    }
    void serve(const std::string& file, const std::string& body) {
        http.replies[kBase + file] = body;
    }
    void withdraw(const std::string& file) { http.replies.erase(kBase + file); }

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
    FakeClipboard clipboard;
    FakeDesktop desktop;
    FakeLifecycle lifecycle;
    FakeHttpClient http;
    FakeTimerDriver timers{clock};
    TempFolder folder;
    Platform platform{socket, pump,    clock,       boxes,     settingsBackend,
                      sound,  windows, application, clipboard, desktop};
    SettingsStore settings{settingsBackend};
    Messages messages{boxes, state.sAppCaption};
    ErrorGuard guard{messages, lifecycle};
    UpdateServer server;
    FakeChatView chat;
    FakeAttention attention;
    UpdateContext context{
        Context{ui, state, platform, messages, settings, guard, lifecycle, chat, attention}, server,
        folder.path(), ""};
    UpdateCheck updates{context};
    Banner banner{context};
    int closes = 0;
    SmallTools tools{context, updates, [this] { ++closes; }};
};

}  // namespace squadlink::test
