#pragma once

#include "core/Attention.h"
#include "core/ChatView.h"
#include "core/ErrorGuard.h"
#include "core/FormState.h"
#include "core/Lifecycle.h"
#include "core/Messages.h"
#include "core/SettingsStore.h"
#include "core/model/WindowModel.h"
#include "platform/Platform.h"

namespace squadlink {

// What every subsystem is handed: the window model, the shared form state, the platform
// services and the program's common helpers. Subsystems reach each other only through
// interfaces declared here in core.
struct Context {
    WindowModel& ui;
    FormState& state;
    Platform& platform;
    Messages& messages;
    SettingsStore& settings;
    ErrorGuard& guard;
    Lifecycle& lifecycle;
    ChatView& chat;
    Attention& attention;

    UdpSocket& socket() const { return platform.socket; }
    void doEvents() const { platform.pump.doEvents(); }
    bool arrangerMode() const { return ui.oServer.value(); }
    bool fighterMode() const { return ui.oClient.value(); }
};

}  // namespace squadlink
