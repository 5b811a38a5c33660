#pragma once

#include <string>

#include "core/ErrorGuard.h"
#include "core/FormState.h"
#include "core/Lifecycle.h"
#include "core/Messages.h"
#include "core/SettingsStore.h"
#include "core/model/WindowModel.h"
#include "platform/Platform.h"
#include "update/UpdateServer.h"

namespace squadlink {

// What the update check, the banner and the small tools share.
struct UpdateContext {
    WindowModel& ui;
    FormState& state;
    Platform& platform;
    Messages& messages;
    SettingsStore& settings;
    ErrorGuard& guard;
    Lifecycle& lifecycle;
    UpdateServer& server;
    // The folder of the executable (Help.txt, the "data" folder) and the user's own data
    // folder, used where the program's folder is not writable.
    std::string programFolder;
    std::string userDataFolder;
};

// The program's title as the update check and the about box name it.
inline constexpr const char* kAppTitle = "Squadlink";

}  // namespace squadlink
