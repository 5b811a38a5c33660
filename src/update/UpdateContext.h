#pragma once

#include <string>
#include <utility>

#include "core/Context.h"
#include "core/ErrorGuard.h"
#include "core/FormState.h"
#include "core/Lifecycle.h"
#include "core/Messages.h"
#include "update/UpdateServer.h"

namespace squadlink {

// The program's context plus what the update check, the banner and the small tools share.
struct UpdateContext : Context {
    UpdateContext(const Context& context, UpdateServer& updateServer, std::string program,
                  std::string userData)
        : Context(context),
          server(updateServer),
          programFolder(std::move(program)),
          userDataFolder(std::move(userData)) {}

    UpdateServer& server;
    // The folder of the executable (Help.txt, the "data" folder) and the user's own data
    // folder, used where the program's folder is not writable.
    std::string programFolder;
    std::string userDataFolder;
};

// The program's title as the update check and the about box name it.
inline constexpr const char* kAppTitle = "Squadlink";

}  // namespace squadlink
