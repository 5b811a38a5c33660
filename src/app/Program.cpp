#include "Program.h"

#include <QDir>
#include <QStandardPaths>

#include "backends/qt/Cp1252.h"
#include "backends/qt/QtX11Display.h"

namespace squadlink {

Program::Program(const ProgramOptions& options)
    : m_window(std::make_unique<MainWindow>(m_model, MainWindow::Pages::WhenShown)),
      m_socket(options.bindAddress) {
    MessageBox* messageBox = options.messageBox;
    if (messageBox == nullptr) {
        m_messageBox = std::make_unique<QtMessageBox>(m_window.get());
        messageBox = m_messageBox.get();
    }
    SoundPlayer* sound = options.sound;
    if (sound == nullptr) {
        m_sound = std::make_unique<OnDemandSoundPlayer>();
        sound = m_sound.get();
    }
    SettingsBackend* settings = options.settings;
    if (settings == nullptr) {
        m_settings = std::make_unique<QtSettingsBackend>();
        m_settings->holdWrites();
        settings = m_settings.get();
    }
    InstanceChannel* instances = options.instances;
    if (instances == nullptr) {
        m_instances = std::make_unique<QtInstanceChannel>(MainForm::appCaption());
        instances = m_instances.get();
    }
    UrlSchemeRegistry* urlScheme = options.urlScheme;
    if (urlScheme == nullptr) {
        m_urlScheme = std::make_unique<XdgUrlSchemeRegistry>();
        urlScheme = m_urlScheme.get();
    }
    Desktop* desktop = options.desktop != nullptr ? options.desktop : &m_desktop;
    m_windows = std::make_unique<QtWindowSystem>(*m_window);
    m_edgeSnapper = std::make_unique<WindowEdgeSnapper>(*m_window, *m_windows);
    m_tray = std::make_unique<QtTrayIcon>(*m_window);
    m_http = std::make_unique<OnDemandHttpClient>(MainForm::appCaption(), options.httpTimeoutMs);
    m_platform = std::make_unique<Platform>(Platform{m_socket, m_pump, m_clock, *messageBox,
                                                     *settings, *sound, *m_windows, m_application,
                                                     m_clipboard, *desktop});
    m_displayGamma = std::make_unique<XrandrDisplayGamma>(qtX11Display());
    m_processes = std::make_unique<X11ProcessWindows>(qtX11Display());
    FileDialog* fileDialog = options.fileDialog;
    if (fileDialog == nullptr) {
        m_fileDialog = std::make_unique<QtFileDialog>(m_window.get());
        fileDialog = m_fileDialog.get();
    }
    m_textMetrics = std::make_unique<QtTextMetrics>(*m_window);
    const std::string home =
        options.homeFolder.empty() ? Cp1252::fromUnicode(QDir::homePath()) : options.homeFolder;
    const QString userData = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                             QStringLiteral("/squadlink");
    m_form = std::make_unique<MainForm>(
        m_model,
        ShellServices{
            *m_platform, *urlScheme, *instances, m_hotKeys, *m_tray, options.executablePath,
            GameServices{*m_displayGamma, *m_processes, *fileDialog, *m_textMetrics, home},
            &m_window->chatDocument(), m_http.get(), options.updateBaseUrl,
            userData.toStdString()});

    auto guard = [this](const std::function<void()>& handler) { m_form->guard().run(handler); };
    m_window->setGuard(guard);
    m_window->setCloseHandler([this] { m_form->close(); });
    m_window->setTrayClickHandler([this] { m_form->trayActivated(); });
    m_timers.setGuard(guard);
    for (Timer* timer : m_model.timers()) {
        m_timers.attach(*timer);
    }
    if (options.handleSignals) {
        m_signals = std::make_unique<UnixSignals>([this] { m_form->close(); });
    }
}

Program::~Program() {
    m_signals.reset();
    m_form.reset();
}

bool Program::start(const std::vector<std::string>& arguments) {
    if (!m_form->Form_Load(arguments)) {
        return false;
    }
    m_windows->afterFirstFrame([window = m_window.get()] { window->addPictures(); });
    // Start-up's settings changes reach the disk once the window is on the screen.
    if (m_settings) {
        m_windows->afterFirstFrame([settings = m_settings.get()] { settings->releaseWrites(); });
    }
    return true;
}

}  // namespace squadlink
