#include "gameserver/GameWindows.h"

#include <cctype>
#include <string>
#include <vector>

namespace squadlink {

namespace {

constexpr std::size_t kGameTitleLength = 14;
constexpr std::size_t kLongestTitle = 128;

char lowerChar(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

std::string lower(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        c = lowerChar(c);
    }
    return result;
}

}  // namespace

bool GameWindows::WildcardMatch(std::string_view text, std::string_view pattern) {
    // Iterative matching with one backtrack point: linear in practice, never recursive, so a
    // long hostile title cannot exhaust the stack.
    std::size_t t = 0;
    std::size_t p = 0;
    std::size_t starPattern = std::string_view::npos;
    std::size_t starText = 0;
    while (t < text.size()) {
        if (p < pattern.size() &&
            (pattern[p] == '?' ||
             (pattern[p] != '*' && lowerChar(pattern[p]) == lowerChar(text[t])))) {
            ++t;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starPattern = p++;
            starText = t;
        } else if (starPattern != std::string_view::npos) {
            p = starPattern + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

std::int64_t GameWindows::FindProcessId(std::string_view executable) const {
    const std::string wanted = lower(executable);
    for (const auto& process : m_system.processes()) {
        if (WildcardMatch(lower(process.name), wanted)) {
            return process.id;
        }
    }
    return 0;
}

namespace {

bool isGameName(const std::string& lowerName) {
    return GameWindows::WildcardMatch(lowerName, "hl_linux") ||
           GameWindows::WildcardMatch(lowerName, "hl.exe");
}

bool looksLikeGameWindow(const ProcessWindows::Window& window) {
    return !window.hasParent && (window.title.size() == kGameTitleLength || window.title.empty());
}

}  // namespace

std::optional<GameWindows::WindowId> GameWindows::FindProcessWindow(std::int64_t processId) const {
    for (const auto& window : m_system.topLevelWindows()) {
        if (looksLikeGameWindow(window) && window.processId == processId) {
            return window.id;
        }
    }
    return std::nullopt;
}

bool GameWindows::IsGameWindow(WindowId id) const {
    if (id == 0) {
        return false;
    }
    // The process first: most foreground windows are not the game's, and its name is one
    // small file away, where the title and owner are further questions to the X server.
    const std::int64_t process = m_system.windowProcessId(id);
    if (process == 0 || !isGameName(lower(m_system.processName(process)))) {
        return false;
    }
    const ProcessWindows::Window window = m_system.describeWindow(id);
    return window.processId == process && looksLikeGameWindow(window);
}

std::optional<GameWindows::WindowId> GameWindows::FindWindowByTitle(
    std::string_view pattern) const {
    for (const auto& window : m_system.topLevelWindows()) {
        if (window.hasParent || window.title.empty() || window.title.size() > kLongestTitle) {
            continue;
        }
        if (WildcardMatch(window.title, pattern)) {
            return window.id;
        }
    }
    return std::nullopt;
}

std::optional<GameWindows::WindowId> GameWindows::FindWindowWithTitle(
    std::string_view title) const {
    for (const auto& window : m_system.topLevelWindows()) {
        if (window.title == title) {
            return window.id;
        }
    }
    return std::nullopt;
}

std::optional<GameWindows::WindowId> GameWindows::FindGameWindow() const {
    // One look at the process table serves both names: this runs every second.
    std::int64_t native = 0;
    std::int64_t windows = 0;
    for (const auto& process : m_system.processes()) {
        const std::string name = lower(process.name);
        if (native == 0 && WildcardMatch(name, "hl_linux")) {
            native = process.id;
        } else if (windows == 0 && WildcardMatch(name, "hl.exe")) {
            windows = process.id;
        }
    }
    for (const std::int64_t id : {native, windows}) {
        if (id == 0) {
            continue;
        }
        if (const auto window = FindProcessWindow(id)) {
            return window;
        }
    }
    return std::nullopt;
}

bool GameWindows::SteamRunning() const {
    return FindProcessId("steam") != 0 || FindProcessId("steam.exe") != 0;
}

}  // namespace squadlink
