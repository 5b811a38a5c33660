#pragma once

#include <string>
#include <vector>

#include "chat/Chat.h"
#include "core/ErrorGuard.h"
#include "core/FormState.h"
#include "core/Lifecycle.h"
#include "core/Messages.h"
#include "core/Notifier.h"
#include "core/SettingsStore.h"
#include "core/model/WindowModel.h"
#include "gameserver/ColourManager.h"
#include "gameserver/GameLaunch.h"
#include "gameserver/GameServerTools.h"
#include "gameserver/GameServices.h"
#include "gameserver/GameWindows.h"
#include "link/Link.h"
#include "platform/HotKeys.h"
#include "platform/HttpClient.h"
#include "platform/InstanceChannel.h"
#include "platform/Platform.h"
#include "platform/TrayIcon.h"
#include "platform/UrlSchemeRegistry.h"
#include "shell/ServerLinks.h"
#include "update/Banner.h"
#include "update/SmallTools.h"
#include "update/UpdateCheck.h"
#include "update/UpdateServer.h"

namespace squadlink {

// The OS pieces of the shell beyond the link's platform services.
struct ShellServices {
    Platform& platform;
    UrlSchemeRegistry& urlScheme;
    InstanceChannel& instances;
    HotKeys& hotKeys;
    TrayIcon& tray;
    std::string executablePath;
    GameServices game;
    // The window's chat document; without one the chat view is kept in memory.
    ChatDocument* chatDocument = nullptr;
    // The update server's client; without one the server never answers.
    HttpClient* http = nullptr;
    // Empty: the built-in update server (or the one the environment names).
    std::string updateBaseUrl{};
    // Where data files go when the program's own folder is not writable.
    std::string userDataFolder{};
};

// The main window's behaviour: it owns the window model and the form-level state, starts the
// program up in the remembered mode and shuts it down, and handles the shell's own controls.
class MainForm : public Lifecycle {
public:
    static constexpr int kTwipsPerPixel = 15;

    MainForm(WindowModel& ui, const ShellServices& services);
    MainForm(const MainForm&) = delete;
    MainForm& operator=(const MainForm&) = delete;
    ~MainForm() override;

    static std::string appCaption();

    // The start sequence. False when the program ended during it (a second copy, an invalid
    // link, ports in use, a fatal error): the caller must not enter the event loop then.
    bool Form_Load(const std::vector<std::string>& arguments);
    // The shut-down: peers told, socket closed, settings saved.
    void Form_Unload();
    // Closing the window, the tray's Close, the desktop session ending.
    void close();
    // A left click on the tray icon.
    void trayActivated();

    [[noreturn]] void unloadAndEnd() override;
    [[noreturn]] void end() override;
    bool ended() const override { return m_ended; }

    WindowModel& ui() { return m_ui; }
    FormState& state() { return m_state; }
    Link& link() { return m_link; }
    Chat& chat() { return m_chat; }
    GameServerTools& gameServer() { return m_gameServer; }
    Notifier& notifier() { return m_notifier; }
    ServerLinks& serverLinks() { return m_serverLinks; }
    UpdateCheck& updates() { return m_updates; }
    Banner& banner() { return m_banner; }
    SmallTools& tools() { return m_tools; }
    ColourManager& colour() { return m_colour; }
    GameLaunch& launch() { return m_launch; }
    ErrorGuard& guard() { return m_guard; }
    bool isSecondInstance() const { return m_secondInstance; }

    void LoadSettings();
    void Tabek_Click();
    void t1sec_Timer();
    void coDelete_Click();
    void Form_Resize();
    void gammaHotKey(bool up);

private:
    void connectHandlers();
    void placeWindow();
    // The start-up steps that wait for the window's first frame.
    void finishStartUp();
    void restoreMode(const std::string& link);
    void selectStoredTab();
    void selectTabOrRepair(int tab);
    [[noreturn]] void HandOverToRunningInstance(const std::vector<std::string>& arguments);
    void onInstanceRequest(InstanceChannel::Request request);
    // Runs one start-up step; a stored tab that does not exist (380) is repaired to tab 0 and
    // start-up goes on with the next step.
    template <typename Step>
    void startStep(Step&& step);

    ShellServices m_services;
    Platform& m_platform;
    WindowModel& m_ui;
    FormState m_state;
    SettingsStore m_settings;
    Messages m_messages;
    ErrorGuard m_guard;
    Notifier m_notifier;
    Chat m_chat;
    // What every subsystem is handed.
    Context m_context;
    Link m_link;
    GameServerTools m_gameServer{m_context, m_link, m_link.flood(),
                                 [this] { m_link.fighter().coConnect_Click(); }};
    ServerLinks m_serverLinks;
    UpdateServer m_updateServer;
    UpdateContext m_updateContext;
    UpdateCheck m_updates;
    Banner m_banner;
    SmallTools m_tools;
    GameWindows m_gameWindows;
    ColourManager m_colour;
    GameLaunch m_launch;
    bool m_ended = false;
    bool m_secondInstance = false;
    bool m_unloaded = false;
};

}  // namespace squadlink
