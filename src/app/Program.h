#pragma once

#include <memory>
#include <string>
#include <vector>

#include "MainWindow.h"
#include "QtTrayIcon.h"
#include "WindowEdgeSnapper.h"
#include "backends/linux/LinuxUdpSocket.h"
#include "backends/linux/UnixSignals.h"
#include "backends/linux/X11HotKeys.h"
#include "backends/linux/X11ProcessWindows.h"
#include "backends/linux/XdgUrlSchemeRegistry.h"
#include "backends/linux/XrandrDisplayGamma.h"
#include "backends/qt/OnDemand.h"
#include "backends/qt/QtApplication.h"
#include "backends/qt/QtClipboard.h"
#include "backends/qt/QtClock.h"
#include "backends/qt/QtDesktop.h"
#include "backends/qt/QtEventPump.h"
#include "backends/qt/QtFileDialog.h"
#include "backends/qt/QtInstanceChannel.h"
#include "backends/qt/QtMessageBox.h"
#include "backends/qt/QtSettingsBackend.h"
#include "backends/qt/QtTextMetrics.h"
#include "backends/qt/QtTimerDriver.h"
#include "backends/qt/QtWindowSystem.h"
#include "core/model/WindowModel.h"
#include "shell/MainForm.h"

namespace squadlink {

struct ProgramOptions {
    // The address the socket binds; all IPv4 addresses unless a test asks for one.
    std::string bindAddress = "0.0.0.0";
    std::string executablePath;
    // Stand-ins a test may give; the real dialogs and sounds otherwise.
    MessageBox* messageBox = nullptr;
    SoundPlayer* sound = nullptr;
    SettingsBackend* settings = nullptr;
    InstanceChannel* instances = nullptr;
    UrlSchemeRegistry* urlScheme = nullptr;
    Desktop* desktop = nullptr;
    // The update server's base address (empty: the built-in one or the environment's) and
    // how long a request may take.
    std::string updateBaseUrl;
    int httpTimeoutMs = kDefaultHttpTimeoutMs;
    FileDialog* fileDialog = nullptr;
    // Where Steam installations are looked for; the user's home folder unless a test says.
    std::string homeFolder;
    // Tests run several copies in one process; only the real program listens for signals.
    bool handleSignals = true;
};

// One running copy of Squadlink: the window model and its behaviour, the Qt window that shows
// it, and the real backends they use.
class Program {
public:
    explicit Program(const ProgramOptions& options);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The start sequence; false when the program already ended.
    bool start(const std::vector<std::string>& arguments);
    // True when the program asked to end before the event loop ran.
    bool quitRequested() const { return m_application.quitRequested(); }

    WindowModel& model() { return m_model; }
    MainForm& form() { return *m_form; }
    MainWindow& window() { return *m_window; }
    WindowEdgeSnapper& edgeSnapper() { return *m_edgeSnapper; }
    LinuxUdpSocket& socket() { return m_socket; }

private:
    WindowModel m_model;
    std::unique_ptr<MainWindow> m_window;
    LinuxUdpSocket m_socket;
    QtEventPump m_pump;
    QtClock m_clock;
    std::unique_ptr<QtMessageBox> m_messageBox;
    std::unique_ptr<QtSettingsBackend> m_settings;
    std::unique_ptr<OnDemandSoundPlayer> m_sound;
    std::unique_ptr<QtWindowSystem> m_windows;
    std::unique_ptr<WindowEdgeSnapper> m_edgeSnapper;
    QtApplication m_application;
    QtClipboard m_clipboard;
    QtDesktop m_desktop;
    std::unique_ptr<OnDemandHttpClient> m_http;
    std::unique_ptr<XdgUrlSchemeRegistry> m_urlScheme;
    std::unique_ptr<QtInstanceChannel> m_instances;
    X11HotKeys m_hotKeys;
    std::unique_ptr<QtTrayIcon> m_tray;
    std::unique_ptr<XrandrDisplayGamma> m_displayGamma;
    std::unique_ptr<X11ProcessWindows> m_processes;
    std::unique_ptr<QtFileDialog> m_fileDialog;
    std::unique_ptr<QtTextMetrics> m_textMetrics;
    std::unique_ptr<Platform> m_platform;
    std::unique_ptr<MainForm> m_form;
    QtTimerDriver m_timers;
    std::unique_ptr<UnixSignals> m_signals;
};

}  // namespace squadlink
