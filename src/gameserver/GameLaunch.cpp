#include "gameserver/GameLaunch.h"

#include <algorithm>
#include <cctype>

#include "gameserver/EntryRules.h"
#include "gameserver/PathLabel.h"
#include "gameserver/PathText.h"
#include "gameserver/SteamLibrary.h"
#include "platform/RuntimeError.h"

namespace squadlink {

namespace {

constexpr std::size_t kShortestHLPath = 9;
constexpr std::size_t kShortestCDPath = 13;
constexpr std::size_t kShortestProtection = 20;
constexpr std::size_t kShortestAddress = 3;
constexpr const char* kPlayGame = "Play game";
constexpr const char* kSearchResult = "Search result";
constexpr const char* kCheatingDeathWindow = "C-D v*.*.*";
constexpr const char* kVerifyDownload = "Verify Download";
constexpr const char* kVerifyInstall = "Verify Install";

std::string lines(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (const auto part : parts) {
        if (!text.empty()) {
            text += kLineBreak;
        }
        text += part;
    }
    return text;
}

bool sameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The folder of a path, with its closing separator.
std::string folderOf(const std::string& path) {
    const auto cut = path.find_last_of('/');
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::size_t tailOf(const std::string& path) {
    const auto cut = path.find_last_of('/');
    return cut == std::string::npos ? path.size() : path.size() - cut;
}

bool endsWithExe(std::string_view path) {
    return path.size() >= 4 && sameText(path.substr(path.size() - 4), ".exe");
}

// What may reach the game's command line and console: the rules the entry boxes enforce.
bool safeGameInfo(std::string_view address, std::string_view password) {
    return IsValidGameAddress(address) && IsValidGamePassword(password);
}

}  // namespace

GameLaunch::GameLaunch(Services services) : m_s(std::move(services)) {
    auto& ui = m_s.ui;
    ui.coPlay.setCaption("Play");
    ui.lPlay.setCaption("Click to play Counter-Strike on received game server");
    ui.fPlayGame.setCaption("Playing the game");
    ui.coWAPlayGame.setCaption("Play");
    ui.lWAPlayGame.setCaption("Click to play Counter-Strike on scanned game server");
    ui.lNoteCD.setCaption(
        "NOTE: Cheating-Death will be automatically started and closed as needed by game server");
    ui.fPaths.setCaption("Paths");
    ui.lHL.setCaption("Click to search or browse to Half-Life executable");
    ui.coSearchHL.setCaption("Search");
    ui.coHL.setCaption("Browse...");
    ui.lCD.setCaption("Click to browse to Cheating-Death executable");
    ui.coCD.setCaption("Browse...");
}

void GameLaunch::connectHandlers(ErrorGuard& guard) {
    auto guarded = [&guard](auto handler) { return [&guard, handler] { guard.run(handler); }; };
    auto& ui = m_s.ui;
    ui.coPlay.Click.connect(guarded([this] { coPlay_Click(); }));
    ui.coWAPlayGame.Click.connect(guarded([this] { coWAPlayGame_Click(); }));
    ui.tWaitCD.Tick.connect(guarded([this] { tWaitCD_Timer(); }));
    ui.coSearchHL.Click.connect(guarded([this] { coSearchHL_Click(); }));
    ui.coHL.Click.connect(guarded([this] { coHL_Click(); }));
    ui.coCD.Click.connect(guarded([this] { coCD_Click(); }));
}

std::vector<std::string> GameLaunch::LaunchArguments(std::string_view address,
                                                     std::string_view password) {
    // The classic command line "-applaunch 10 +password "<password>" +connect <address>" as the
    // argument list its quoting stood for.
    return {"-applaunch",          "10",       "+password",
            std::string(password), "+connect", std::string(address)};
}

void GameLaunch::coPlay_Click() {
    auto& ui = m_s.ui;
    std::string protection;
    std::string password;
    std::string address;
    if (ui.oClient.value()) {
        protection = ui.lProtection.caption();
        password = ui.lPassword.caption();
        address = ui.lServer.caption();
        if (address.size() < kShortestAddress || protection.size() < kShortestProtection) {
            m_s.messages.warning("Game info not received from War Arranger yet");
            return;
        }
    } else if (ui.oServer.value()) {
        protection = ui.lGameSecure.caption();
        password = ui.tPassword.text();
        address = ui.tGame.text();
        if (address.size() < kShortestAddress || protection.size() < kShortestProtection) {
            m_s.messages.warning("Scan the game server first");
            return;
        }
    }
    if (!address.empty() && !safeGameInfo(address, password)) {
        m_s.messages.warning("Game server address invalid or not specified");
        return;
    }
    m_s.settings.writeText(key::TempPass, password);
    m_s.settings.writeText(key::TempAddress, address);
    if (m_s.settings.readText(key::HLPath).size() < kShortestHLPath) {
        m_s.messages.warning(lines({"Location of Half-Life executable invalid or unknown",
                                    "Specify path to Half-Life executable in Configuration tab"}));
        return;
    }
    if (m_s.windows.FindGameWindow()) {
        m_s.messages.ShowMessage(
            lines({"Counter-Strike already running",
                   "Click on the Play button again when Counter-Strike is not running"}),
            mb::Warning, kPlayGame);
        return;
    }
    if (cheatingDeathUpdateShown()) {
        return;
    }
    const auto cheatingDeath = m_s.windows.FindWindowByTitle(kCheatingDeathWindow);
    if (sameText(protection, kCheatingDeath) && !cheatingDeath) {
        const std::string path = m_s.settings.readText(key::CDPath);
        if (path.size() < kShortestCDPath) {
            m_s.messages.warning(
                lines({"Location of Cheating-Death executable invalid or unknown",
                       "Specify path to Cheating-Death executable in Configuration tab"}));
            return;
        }
        if (startCheatingDeath(path)) {
            ui.tWaitCD.restart();
        } else {
            m_s.messages.warning("Launching Cheating-Death failed");
        }
        return;
    }
    if (sameText(protection, kValveAntiCheat) && cheatingDeath) {
        if (!m_s.windows.closeWindow(*cheatingDeath)) {
            m_s.messages.warning("Closing Cheating-Death failed");
            return;
        }
    }
    LaunchGame();
}

bool GameLaunch::cheatingDeathUpdateShown() {
    if (m_s.windows.FindWindowWithTitle(kVerifyDownload)) {
        m_s.messages.ShowMessage(
            lines({"Squadlink detected Cheating-Death download update notification",
                   "Click on the Play button again when Cheating-Death update is finished"}),
            mb::Warning, kPlayGame);
        return true;
    }
    if (m_s.windows.FindWindowWithTitle(kVerifyInstall)) {
        m_s.messages.ShowMessage(
            lines({"Squadlink detected Cheating-Death install update notification",
                   "Click on the Play button again when Cheating-Death update is finished"}),
            mb::Warning, kPlayGame);
        return true;
    }
    return false;
}

bool GameLaunch::startCheatingDeath(const std::string& path) {
    // The anti-cheat client is a Windows program: Wine runs it unless it is something the
    // system can start by itself.
    if (endsWithExe(path)) {
        return m_s.desktop.startProgram("wine", {path}, folderOf(path));
    }
    return m_s.desktop.startProgram(path, {}, folderOf(path));
}

void GameLaunch::tWaitCD_Timer() {
    m_s.ui.tWaitCD.stop();
    if (!cheatingDeathUpdateShown()) {
        LaunchGame();
    }
}

void GameLaunch::LaunchGame() {
    const std::string hlPath = m_s.settings.readText(key::HLPath);
    if (hlPath.size() < kShortestHLPath) {
        m_s.messages.warning(lines({"Location of Half-Life executable invalid or unknown",
                                    "Specify path to Half-Life executable in Configuration tab"}));
        return;
    }
    if (!m_s.windows.SteamRunning()) {
        m_s.messages.ShowMessage(lines({"Steam must be running to launch Counter-Strike",
                                        "Click on the Play button again when Steam is running"}),
                                 mb::Warning, kPlayGame);
        return;
    }
    const std::string password = m_s.settings.readText(key::TempPass);
    const std::string address = m_s.settings.readText(key::TempAddress);
    m_s.settings.remove(key::TempPass);
    m_s.settings.remove(key::TempAddress);
    // The stored values are checked again: the settings store is a file anyone can edit.
    if (address.size() < kShortestAddress || !safeGameInfo(address, password)) {
        m_s.messages.warning("Game server address invalid or not specified");
        return;
    }
    if (!m_s.desktop.startProgram(kSteamProgram, LaunchArguments(address, password),
                                  folderOf(hlPath))) {
        m_s.messages.warning("Launching Counter-Strike failed");
        return;
    }
    m_s.ui.tBanner.stop();
    m_s.ui.frmSQD.setWindowState(WindowState::Minimized);
    try {
        m_s.clipboard.setText(ConsoleCommand(address, password));
    } catch (const RuntimeError& error) {
        // The game runs by now; a busy clipboard only costs the convenience.
        if (error.number() != err::ClipboardCannotOpen &&
            error.number() != err::ClipboardCannotEmpty) {
            throw;
        }
    }
}

void GameLaunch::notFound() {
    m_s.messages.ShowMessage(
        lines({"Half-Life executable was not found", "Please use the Browse button to locate it"}),
        mb::Information, kSearchResult);
}

void GameLaunch::coSearchHL_Click() {
    const auto found =
        PathText::fromUtf8(SteamLibrary::FindHalfLifeExecutable(PathText::toUtf8(m_s.homeFolder)));
    if (!found || found->empty()) {
        notFound();
        return;
    }
    m_s.settings.writeText(key::HLPath, *found);
    showHLPath(*found);
    m_s.messages.ShowMessage(
        lines({"Half-Life executable found!",
               "Note that Steam installs few Half-Life executable files",
               "Use the Browse button to locate correct one if you experience any problems"}),
        mb::Information, kSearchResult);
}

void GameLaunch::coHL_Click() {
    const std::string chosen =
        m_s.fileDialog.openFile("Browse to file", "Half-Life executable", {"hl_linux", "hl.exe"});
    if (chosen.size() < kShortestHLPath) {
        return;
    }
    m_s.settings.writeText(key::HLPath, chosen);
    showHLPath(chosen);
    m_s.messages.ShowMessage(
        lines({"Note that Steam installs few Half-Life executable files",
               "Use the Browse button to locate another one if you experience any problems"}),
        mb::Information, "Information");
}

void GameLaunch::coCD_Click() {
    const std::string chosen =
        m_s.fileDialog.openFile("Browse to file", "Cheating-Death executable", {"cdeath.exe"});
    if (chosen.size() < kShortestCDPath) {
        return;
    }
    m_s.settings.writeText(key::CDPath, chosen);
    showCDPath(chosen);
}

void GameLaunch::ShowStoredPaths() {
    showHLPath(m_s.settings.readText(key::HLPath));
    showCDPath(m_s.settings.readText(key::CDPath));
}

void GameLaunch::showHLPath(const std::string& path) {
    m_s.ui.lPathHL.setCaption(
        ShortenPathForLabel(path, kPathLabelWidth, kMarginHL, tailOf(path), m_s.metrics));
}

void GameLaunch::showCDPath(const std::string& path) {
    m_s.ui.lPathCD.setCaption(
        ShortenPathForLabel(path, kPathLabelWidth, kMarginCD, tailOf(path), m_s.metrics));
}

}  // namespace squadlink
