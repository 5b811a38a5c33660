#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/ProcessWindows.h"

namespace squadlink {

// Finds the outside programs the launch and the colour manager care about: Steam, the game and
// its window, and windows of the anti-cheat client by title. Names and titles compare ignoring
// letter case.
class GameWindows {
public:
    using WindowId = ProcessWindows::WindowId;

    explicit GameWindows(ProcessWindows& system) : m_system(system) {}

    // "*" matches any run of characters, "?" any one; letter case is ignored.
    static bool WildcardMatch(std::string_view text, std::string_view pattern);

    // The first running process whose executable name matches, or 0.
    std::int64_t FindProcessId(std::string_view executable) const;
    // The first top-level window of the process without a parent whose title is exactly 14
    // ("Counter-Strike") or 0 characters long.
    std::optional<WindowId> FindProcessWindow(std::int64_t processId) const;
    // The first top-level window without a parent, with a title of 1 to 128 characters, whose
    // title matches the pattern.
    std::optional<WindowId> FindWindowByTitle(std::string_view pattern) const;
    // The first top-level window whose title is exactly this one.
    std::optional<WindowId> FindWindowWithTitle(std::string_view title) const;

    // The game's window: of the native game ("hl_linux") or of the game under Wine or Proton
    // ("hl.exe").
    std::optional<WindowId> FindGameWindow() const;
    // Whether a window (the foreground one) is the game's main window: one of the game's
    // processes, no owner, the game's title length. Looks at that window and its process only,
    // since it runs every second.
    bool IsGameWindow(WindowId window) const;
    // Steam runs natively ("steam") or under Wine ("steam.exe").
    bool SteamRunning() const;

    WindowId foregroundWindow() const { return m_system.foregroundWindow(); }
    bool closeWindow(WindowId window) { return m_system.closeWindow(window); }

private:
    ProcessWindows& m_system;
};

}  // namespace squadlink
