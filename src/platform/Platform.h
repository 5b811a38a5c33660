#pragma once

#include "platform/Application.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/EventPump.h"
#include "platform/MessageBox.h"
#include "platform/SettingsBackend.h"
#include "platform/SoundPlayer.h"
#include "platform/UdpSocket.h"
#include "platform/WindowSystem.h"

namespace squadlink {

// The bundle of services the behaviour is given; real backends in the program, fakes in tests.
struct Platform {
    UdpSocket& socket;
    EventPump& pump;
    Clock& clock;
    MessageBox& messageBox;
    SettingsBackend& settings;
    SoundPlayer& sound;
    WindowSystem& windows;
    Application& application;
    Clipboard& clipboard;
    Desktop& desktop;
};

}  // namespace squadlink
