#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/ErrorGuard.h"
#include "core/FormState.h"
#include "core/Messages.h"
#include "core/SettingsStore.h"
#include "core/model/WindowModel.h"
#include "gameserver/GameWindows.h"
#include "platform/Clipboard.h"
#include "platform/Desktop.h"
#include "platform/FileDialog.h"
#include "platform/TextMetrics.h"

namespace squadlink {

// Play: starts Counter-Strike through Steam onto the game server of the current game info,
// with the anti-cheat client started or closed as the server needs, and the console command
// left on the clipboard. Also the choice and display of the two executable paths.
class GameLaunch {
public:
    struct Services {
        WindowModel& ui;
        FormState& state;
        SettingsStore& settings;
        Messages& messages;
        GameWindows& windows;
        Desktop& desktop;
        Clipboard& clipboard;
        FileDialog& fileDialog;
        TextMetrics& metrics;
        // The user's home folder (Windows-1252, as all text here), where Steam is looked for.
        std::string homeFolder;
    };

    static constexpr const char* kValveAntiCheat = "Valve Anti-Cheat (VAC)";
    static constexpr const char* kCheatingDeath = "Cheating-Death (C-D)";
    // Steam starts the game itself: the program Play runs, found on the search path.
    static constexpr const char* kSteamProgram = "steam";
    // Width of the path labels as laid out, in pixels, and the room kept free beside the text.
    static constexpr int kPathLabelWidth = 500;
    static constexpr int kMarginHL = 75;
    static constexpr int kMarginCD = 103;

    explicit GameLaunch(Services services);
    void connectHandlers(ErrorGuard& guard);

    // The arguments Steam is started with: the game, then the password and connect switches.
    // An empty password is still passed, as an empty argument.
    static std::vector<std::string> LaunchArguments(std::string_view address,
                                                    std::string_view password);

    void coPlay_Click();
    void coWAPlayGame_Click() { coPlay_Click(); }
    void LaunchGame();
    void tWaitCD_Timer();
    void coSearchHL_Click();
    void coHL_Click();
    void coCD_Click();
    // Start-up: both stored paths shown in their labels.
    void ShowStoredPaths();

private:
    void showHLPath(const std::string& path);
    void showCDPath(const std::string& path);
    bool cheatingDeathUpdateShown();
    bool startCheatingDeath(const std::string& path);
    void notFound();

    Services m_s;
};

}  // namespace squadlink
