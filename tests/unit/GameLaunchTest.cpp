#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "gameserver/EntryRules.h"
#include "gameserver/GameLaunch.h"
#include "gameserver/GameWindows.h"
#include "gameserver/PathLabel.h"
#include "gameserver/PathText.h"
#include "support/FakeFileDialog.h"
#include "support/FakeLifecycle.h"
#include "support/FakeProcessWindows.h"
#include "support/FakeServices.h"
#include "support/FakeTextMetrics.h"

using namespace squadlink;
namespace fs = std::filesystem;

TEST(GameWindows, WildcardPatterns) {
    struct Row {
        const char* text;
        const char* pattern;
        bool matches;
    };
    const Row rows[] = {
        {"c-d v1.2.3", "C-D v*.*.*", true},
        {"C-D V10.20.300", "c-d v*.*.*", true},
        {"C-D v1.2", "C-D v*.*.*", false},
        {"C-D v...", "C-D v*.*.*", true},
        {"xC-D v1.2.3", "C-D v*.*.*", false},
        {"hl.exe", "HL.EXE", true},
        {"hl.exe2", "hl.exe", false},
        {"hl_exe", "hl?exe", true},
        {"", "*", true},
        {"", "?", false},
        {"abc", "a*c*", true},
        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*a*c", false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(GameWindows::WildcardMatch(row.text, row.pattern), row.matches)
            << row.text << " / " << row.pattern;
    }
}

TEST(GameWindows, GameWindowRule) {
    FakeProcessWindows system;
    GameWindows windows(system);
    system.running = {{10, "bash"}, {20, "HL.EXE"}, {30, "hl_linux"}};
    EXPECT_EQ(windows.FindProcessId("hl.exe"), 20) << "names ignore letter case";
    EXPECT_EQ(windows.FindProcessId("steam"), 0);

    // Only a window of the game's process without a parent, titled with 14 or 0 characters.
    system.windows = {{1, 20, "Half-Life", false},
                      {2, 10, "Counter-Strike", false},
                      {3, 20, "Counter-Strike", true}};
    EXPECT_FALSE(windows.FindGameWindow());
    system.windows.push_back({4, 20, "Counter-Strike", false});
    EXPECT_EQ(windows.FindGameWindow(), 4U);
    system.windows = {{5, 30, "", false}};
    EXPECT_EQ(windows.FindGameWindow(), 5U) << "the native game, untitled";
    system.running.clear();
    EXPECT_FALSE(windows.FindGameWindow());
}

TEST(GameWindows, SteamRunsNativelyOrUnderWine) {
    FakeProcessWindows system;
    GameWindows windows(system);
    EXPECT_FALSE(windows.SteamRunning());
    system.running = {{5, "steamwebhelper"}};
    EXPECT_FALSE(windows.SteamRunning());
    system.running = {{5, "steam"}};
    EXPECT_TRUE(windows.SteamRunning());
    system.running = {{5, "Steam.exe"}};
    EXPECT_TRUE(windows.SteamRunning());
}

TEST(GameWindows, TitleSearchSkipsChildrenAndOverlongTitles) {
    FakeProcessWindows system;
    GameWindows windows(system);
    system.windows = {{1, 0, "C-D v1.2.3", true},
                      {2, 0, "C-D v" + std::string(200, '1') + ".2.3", false},
                      {3, 0, "C-D v4.5.6", false}};
    EXPECT_EQ(windows.FindWindowByTitle("C-D v*.*.*"), 3U);
}

TEST(ShortenPathForLabel, CutsTheMiddleThenEverything) {
    FakeTextMetrics metrics;  // 6 pixels a character
    const std::string path = "/home/player/.local/share/Steam/steamapps/common/Half-Life/hl_linux";
    // Fits: unchanged, letter case kept.
    EXPECT_EQ(ShortenPathForLabel(path, 500, 75, 9, metrics), path);
    // Too wide: the first folder, "...", the game folder and the file.
    EXPECT_EQ(ShortenPathForLabel(path, 300, 75, 9, metrics), "/home/.../Half-Life/hl_linux");
    // Still too wide: three characters, "..." and the file.
    EXPECT_EQ(ShortenPathForLabel(path, 150, 75, 9, metrics), "/ho.../hl_linux");
    EXPECT_EQ(ShortenPathForLabel("", 150, 75, 9, metrics), "");
}

TEST(EntryRulesStandIn, ConsoleCommand) {
    EXPECT_EQ(ConsoleCommand("10.0.0.1:27015", ""), "connect 10.0.0.1:27015");
    EXPECT_EQ(ConsoleCommand("10.0.0.1:27015", "clan war"),
              "password \"clan war\"; connect 10.0.0.1:27015");
    EXPECT_FALSE(IsValidGameAddress("10.0.0.1;quit"));
    EXPECT_FALSE(IsValidGameAddress("10.0.0.1 +exec"));
    EXPECT_FALSE(IsValidGamePassword("a\"b"));
    EXPECT_TRUE(IsValidGamePassword(""));
}

namespace {

// Play on fake services: a Fighter who has received game info.
struct LaunchRig {
    LaunchRig() {
        launch.connectHandlers(guard);
        ui.oClient.setValue(true);
        receive("10.0.0.1:27015", "secret", GameLaunch::kValveAntiCheat);
        backend.values["HLPath"] = "/games/Half-Life/hl_linux";
        processes.running = {{100, "steam"}};
    }
    void receive(const std::string& address, const std::string& password,
                 const std::string& protection) {
        ui.lServer.setCaption(address);
        ui.lPassword.setCaption(password);
        ui.lProtection.setCaption(protection);
    }
    std::string lastMessage() const { return boxes.shown.empty() ? "" : boxes.shown.back().text; }
    bool stored(const char* name) const { return backend.values.count(name) != 0; }

    WindowModel ui;
    FormState state;
    FakeSettings backend;
    SettingsStore settings{backend};
    FakeMessageBox boxes;
    std::string caption = "Squadlink";
    Messages messages{boxes, caption};
    FakeLifecycle lifecycle;
    ErrorGuard guard{messages, lifecycle};
    FakeProcessWindows processes;
    GameWindows windows{processes};
    FakeDesktop desktop;
    FakeClipboard clipboard;
    FakeFileDialog files;
    FakeTextMetrics metrics;
    GameLaunch launch{GameLaunch::Services{ui, state, settings, messages, windows, desktop,
                                           clipboard, files, metrics, "/nonexistent-home"}};
};

class GameLaunchTest : public ::testing::Test, public LaunchRig {};

}  // namespace

TEST_F(GameLaunchTest, PlayStartsSteamOntoTheServer) {
    ui.tBanner.start();
    clipboard.content = "old";
    ui.coPlay.click();
    ASSERT_EQ(desktop.started.size(), 1U) << lastMessage();
    const auto& started = desktop.started.front();
    EXPECT_EQ(started.program, "steam");
    EXPECT_EQ(started.arguments,
              (std::vector<std::string>{"-applaunch", "10", "+password", "secret", "+connect",
                                        "10.0.0.1:27015"}));
    EXPECT_EQ(started.workingFolder, "/games/Half-Life/");
    EXPECT_EQ(clipboard.content, "password \"secret\"; connect 10.0.0.1:27015");
    EXPECT_EQ(ui.frmSQD.windowState(), WindowState::Minimized);
    EXPECT_FALSE(ui.tBanner.enabled());
    EXPECT_FALSE(stored("TempAddress"));
    EXPECT_FALSE(stored("TempPass"));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(GameLaunchTest, EmptyPasswordIsStillPassed) {
    receive("cs.example.org", "", GameLaunch::kValveAntiCheat);
    ui.coPlay.click();
    ASSERT_EQ(desktop.started.size(), 1U);
    EXPECT_EQ(desktop.started.front().arguments,
              (std::vector<std::string>{"-applaunch", "10", "+password", "", "+connect",
                                        "cs.example.org"}));
    EXPECT_EQ(clipboard.content, "connect cs.example.org");
}

TEST_F(GameLaunchTest, WarArrangerPlaysTheScannedServer) {
    ui.oServer.setValue(true);
    ui.tGame.setText("192.168.1.9");
    ui.tPassword.setText("pw");
    ui.lGameSecure.setCaption(GameLaunch::kValveAntiCheat);
    ui.coWAPlayGame.click();
    ASSERT_EQ(desktop.started.size(), 1U);
    EXPECT_EQ(desktop.started.front().arguments.back(), "192.168.1.9");
    ui.lGameSecure.clear();
    ui.coWAPlayGame.click();
    EXPECT_EQ(lastMessage(), "Scan the game server first   ");
}

TEST_F(GameLaunchTest, RefusalsLeaveTheGameUnstarted) {
    struct Case {
        const char* what;
        std::function<void(LaunchRig&)> arrange;
        std::string message;
    };
    const Case cases[] = {
        {"no game info", [](LaunchRig& t) { t.receive("", "", ""); },
         "Game info not received from War Arranger yet   "},
        {"no executable", [](LaunchRig& t) { t.backend.values["HLPath"] = "/a/hl"; },
         "Location of Half-Life executable invalid or unknown   \r\n"
         "Specify path to Half-Life executable in Configuration tab   "},
        {"game running",
         [](LaunchRig& t) {
             t.processes.running.push_back({200, "hl_linux"});
             t.processes.windows = {{7, 200, "Counter-Strike", false}};
         },
         "Counter-Strike already running   \r\n"
         "Click on the Play button again when Counter-Strike is not running   "},
        {"steam not running", [](LaunchRig& t) { t.processes.running.clear(); },
         "Steam must be running to launch Counter-Strike   \r\n"
         "Click on the Play button again when Steam is running   "},
        {"hostile password",
         [](LaunchRig& t) { t.receive("10.0.0.1", "x\" +exec evil", "Valve Anti-Cheat (VAC)"); },
         "Game server address invalid or not specified   "},
        {"hostile address",
         [](LaunchRig& t) { t.receive("10.0.0.1;quit", "", "Valve Anti-Cheat (VAC)"); },
         "Game server address invalid or not specified   "},
        {"launch fails", [](LaunchRig& t) { t.desktop.succeed = false; },
         "Launching Counter-Strike failed   "},
    };
    for (const Case& c : cases) {
        LaunchRig t;
        c.arrange(t);
        t.ui.coPlay.click();
        EXPECT_EQ(t.lastMessage(), c.message) << c.what;
        if (c.message != "Launching Counter-Strike failed   ") {
            EXPECT_TRUE(t.desktop.started.empty()) << c.what;
        }
        EXPECT_TRUE(t.clipboard.content.empty()) << c.what;
        EXPECT_NE(t.ui.frmSQD.windowState(), WindowState::Minimized) << c.what;
    }
}

TEST_F(GameLaunchTest, SteamNotRunningKeepsTheLaunchForTheNextTry) {
    processes.running.clear();
    ui.coPlay.click();
    EXPECT_EQ(backend.values["TempAddress"], "10.0.0.1:27015");
    EXPECT_EQ(backend.values["TempPass"], "secret");
    // A second launch without a new Play finds nothing to launch.
    processes.running = {{100, "steam"}};
    launch.LaunchGame();
    ASSERT_EQ(desktop.started.size(), 1U);
    launch.LaunchGame();
    EXPECT_EQ(desktop.started.size(), 1U);
    EXPECT_EQ(lastMessage(), "Game server address invalid or not specified   ");
}

TEST_F(GameLaunchTest, TamperedStoredAddressIsRefused) {
    backend.values["TempAddress"] = "1.2.3.4 +exec x";
    backend.values["TempPass"] = "";
    launch.LaunchGame();
    EXPECT_TRUE(desktop.started.empty());
    EXPECT_EQ(lastMessage(), "Game server address invalid or not specified   ");
}

TEST_F(GameLaunchTest, BusyClipboardEndsTheLaunchQuietly) {
    clipboard.busyCalls = 5;
    ui.coPlay.click();
    EXPECT_EQ(desktop.started.size(), 1U);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(lifecycle.ended());
}

TEST_F(GameLaunchTest, CheatingDeathStartsFirstAndTheGameThreeSecondsLater) {
    receive("10.0.0.1", "", GameLaunch::kCheatingDeath);
    ui.tWaitCD.setInterval(3000);
    ui.coPlay.click();
    EXPECT_EQ(lastMessage(),
              "Location of Cheating-Death executable invalid or unknown   \r\n"
              "Specify path to Cheating-Death executable in Configuration tab   ");
    backend.values["CDPath"] = "/wine/C-D/cdeath.exe";
    ui.coPlay.click();
    ASSERT_EQ(desktop.started.size(), 1U);
    EXPECT_EQ(desktop.started[0].program, "wine");
    EXPECT_EQ(desktop.started[0].arguments, std::vector<std::string>{"/wine/C-D/cdeath.exe"});
    EXPECT_EQ(desktop.started[0].workingFolder, "/wine/C-D/");
    EXPECT_TRUE(ui.tWaitCD.running());
    ui.tWaitCD.tick();
    EXPECT_FALSE(ui.tWaitCD.running());
    ASSERT_EQ(desktop.started.size(), 2U);
    EXPECT_EQ(desktop.started[1].program, "steam");
}

TEST_F(GameLaunchTest, CheatingDeathUpdateDialogHoldsTheLaunch) {
    receive("10.0.0.1", "", GameLaunch::kCheatingDeath);
    backend.values["CDPath"] = "/wine/C-D/cdeath.exe";
    ui.tWaitCD.setInterval(3000);
    ui.coPlay.click();
    processes.windows = {{9, 300, "Verify Install", true}};
    ui.tWaitCD.tick();
    EXPECT_EQ(desktop.started.size(), 1U);
    EXPECT_EQ(lastMessage(),
              "Squadlink detected Cheating-Death install update notification   \r\n"
              "Click on the Play button again when Cheating-Death update is finished   ");
    processes.windows = {{9, 300, "Verify Download", true}};
    ui.coPlay.click();
    EXPECT_EQ(desktop.started.size(), 1U);
    EXPECT_EQ(boxes.shown.back().caption, "Squadlink - Play game");
}

TEST_F(GameLaunchTest, RunningCheatingDeathIsUsedOrClosed) {
    processes.windows = {{50, 300, "C-D v1.2.3", false}};
    receive("10.0.0.1", "", GameLaunch::kCheatingDeath);
    ui.coPlay.click();
    ASSERT_EQ(desktop.started.size(), 1U) << "already running: the game starts at once";
    EXPECT_EQ(desktop.started[0].program, "steam");
    EXPECT_TRUE(processes.closed.empty());

    receive("10.0.0.1", "", GameLaunch::kValveAntiCheat);
    processes.closeFails = true;
    ui.coPlay.click();
    EXPECT_EQ(lastMessage(), "Closing Cheating-Death failed   ");
    EXPECT_EQ(desktop.started.size(), 1U);
    processes.closeFails = false;
    ui.coPlay.click();
    EXPECT_EQ(processes.closed, (std::vector<ProcessWindows::WindowId>{50, 50}));
    EXPECT_EQ(desktop.started.size(), 2U);
}

TEST_F(GameLaunchTest, BrowseStoresAndShowsThePaths) {
    files.answers = {"/opt/games/Half-Life/hl_linux", "", "/wine/cdeath.exe"};
    ui.coHL.click();
    EXPECT_EQ(files.asked[0].description, "Half-Life executable");
    EXPECT_EQ(backend.values["HLPath"], "/opt/games/Half-Life/hl_linux");
    EXPECT_EQ(ui.lPathHL.caption(), "/opt/games/Half-Life/hl_linux");
    EXPECT_EQ(boxes.shown.back().caption, "Squadlink - Information");
    ui.coHL.click();  // cancelled
    EXPECT_EQ(backend.values["HLPath"], "/opt/games/Half-Life/hl_linux");
    ui.coCD.click();
    EXPECT_EQ(files.asked[2].patterns, std::vector<std::string>{"cdeath.exe"});
    EXPECT_EQ(backend.values["CDPath"], "/wine/cdeath.exe");
    EXPECT_EQ(ui.lPathCD.caption(), "/wine/cdeath.exe");
}

TEST_F(GameLaunchTest, SearchFindsTheExecutableInASteamLibrary) {
    const fs::path root =
        fs::temp_directory_path() / ("squadlink-search-" + std::to_string(::getpid()));
    fs::remove_all(root);
    GameLaunch search{GameLaunch::Services{ui, state, settings, messages, windows, desktop,
                                           clipboard, files, metrics, root.string()}};
    search.coSearchHL_Click();
    EXPECT_EQ(lastMessage(),
              "Half-Life executable was not found   \r\n"
              "Please use the Browse button to locate it   ");
    EXPECT_EQ(boxes.shown.back().flags, 64);

    const fs::path steam = root / ".local/share/Steam";
    fs::create_directories(steam / "steamapps");
    const fs::path library = root / "games/SteamLibrary";
    fs::create_directories(library / "steamapps/common/Half-Life");
    std::ofstream(steam / "steamapps/libraryfolders.vdf")
        << "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" << steam.string()
        << "\"\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" << library.string() << "\"\n\t}\n}\n";
    // An empty file is not the game.
    std::ofstream(library / "steamapps/common/Half-Life/hl_linux");
    search.coSearchHL_Click();
    EXPECT_EQ(backend.values.count("HLPath"), 1U) << "the fixture's path stays";
    EXPECT_EQ(backend.values["HLPath"], "/games/Half-Life/hl_linux");

    std::ofstream(library / "steamapps/common/Half-Life/hl_linux") << "ELF";
    search.coSearchHL_Click();
    const std::string found = (library / "steamapps/common/Half-Life/hl_linux").string();
    EXPECT_EQ(backend.values["HLPath"], found);
    EXPECT_EQ(ui.lPathHL.caption(), ShortenPathForLabel(found, GameLaunch::kPathLabelWidth,
                                                        GameLaunch::kMarginHL, 9, metrics));
    EXPECT_EQ(lastMessage().substr(0, 30), "Half-Life executable found!   ");
    fs::remove_all(root);
}

TEST(PathText, CrossesBetweenWindows1252AndUtf8) {
    EXPECT_EQ(PathText::toUtf8("/home/jos\xE9/\x80"), "/home/jos\xC3\xA9/\xE2\x82\xAC");
    EXPECT_EQ(PathText::fromUtf8("/home/jos\xC3\xA9/\xE2\x82\xAC"), "/home/jos\xE9/\x80");
    EXPECT_EQ(PathText::fromUtf8("/plain"), "/plain");
    EXPECT_FALSE(PathText::fromUtf8("/\xE6\x97\xA5"));      // a character Windows-1252 lacks
    EXPECT_FALSE(PathText::fromUtf8("/\xF0\x9F\x98\x80"));  // outside the first plane
    EXPECT_FALSE(PathText::fromUtf8("/\xC3"));              // cut short
    EXPECT_FALSE(PathText::fromUtf8("/\xE9"));              // not UTF-8 at all
    for (int byte = 1; byte < 256; ++byte) {
        const std::string one(1, static_cast<char>(byte));
        EXPECT_EQ(PathText::fromUtf8(PathText::toUtf8(one)), one) << byte;
    }
}

TEST_F(GameLaunchTest, SearchWorksInAHomeWithAnAccentedName) {
    const fs::path root =
        fs::temp_directory_path() / ("squadlink-jos\xC3\xA9-" + std::to_string(::getpid()));
    fs::remove_all(root);
    const fs::path game = root / ".local/share/Steam/steamapps/common/Half-Life/hl_linux";
    fs::create_directories(game.parent_path());
    std::ofstream(game) << "ELF";
    const std::string home = *PathText::fromUtf8(root.string());
    GameLaunch search{GameLaunch::Services{ui, state, settings, messages, windows, desktop,
                                           clipboard, files, metrics, home}};
    search.coSearchHL_Click();
    EXPECT_EQ(backend.values["HLPath"],
              home + "/.local/share/Steam/steamapps/common/Half-Life/hl_linux");
    fs::remove_all(root);
}
