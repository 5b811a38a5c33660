#include "shell/MainForm.h"

#include <cmath>
#include <cstdio>

#include "core/TextUtil.h"
#include "gameserver/EntryRules.h"
#include "shell/Timers.h"

namespace squadlink {

namespace {
constexpr int kStartSound = 101;
constexpr int kGammaSound = 106;

std::string numberText(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}
}  // namespace

std::string MainForm::appCaption() {
    return "Squadlink v" + std::to_string(SQUADLINK_VERSION_MAJOR) + "." +
           std::to_string(SQUADLINK_VERSION_MINOR) + "." + std::to_string(SQUADLINK_VERSION_PATCH);
}

MainForm::MainForm(WindowModel& ui, const ShellServices& services)
    : m_services(services),
      m_platform(services.platform),
      m_ui(ui),
      m_settings(m_platform.settings),
      m_messages(m_platform.messageBox, m_state.sAppCaption),
      m_guard(m_messages, *this),
      m_notifier(m_ui, m_state, m_platform.windows, m_platform.sound, m_platform.pump, m_settings,
                 m_platform.clock),
      m_chat(Chat::Services{m_ui, m_state, m_platform, m_messages, m_settings, m_notifier, m_guard},
             services.chatDocument),
      m_context{m_ui,    m_state, m_platform,    m_messages, m_settings,
                m_guard, *this,   m_chat.view(), m_notifier},
      m_link(m_context),
      m_serverLinks(ServerLinks::Services{m_ui, m_state, m_settings, m_messages, m_platform.windows,
                                          m_platform.pump, m_platform.sound, m_platform.socket,
                                          services.urlScheme},
                    [this] { m_link.fighter().coConnect_Click(); }),
      m_updateServer(services.http, services.updateBaseUrl),
      m_updateContext(m_context, m_updateServer, folderOf(services.executablePath),
                      services.userDataFolder),
      m_updates(m_updateContext),
      m_banner(m_updateContext),
      m_tools(m_updateContext, m_updates, [this] { close(); }),
      m_gameWindows(services.game.processes),
      m_colour(m_ui, m_state, m_settings, services.game.display, m_gameWindows),
      m_launch(GameLaunch::Services{m_ui, m_state, m_settings, m_messages, m_gameWindows,
                                    m_platform.desktop, m_platform.clipboard,
                                    services.game.fileDialog, services.game.metrics,
                                    services.game.homeFolder}) {
    m_state.sAppCaption = appCaption();
    m_state.sVersion = std::to_string(SQUADLINK_VERSION_MAJOR) + "." +
                       std::to_string(SQUADLINK_VERSION_MINOR) + "." +
                       std::to_string(SQUADLINK_VERSION_PATCH);
    m_messages.watchShutDown(*this);
    m_ui.frmSQD.setVisible(false);
    m_link.context().banner = &m_banner;
    m_link.connectHandlers();
    m_chat.setLinkSender(m_link);
    m_chat.connectHandlers();
    m_link.attachGameServer(&m_gameServer.query(), &m_gameServer.gameInfo());
    m_gameServer.connectHandlers();
    m_colour.connectHandlers(m_guard);
    m_launch.connectHandlers(m_guard);
    connectHandlers();
    m_chat.connectRightClicks();
    m_banner.connectHandlers();
    m_tools.connectHandlers();
    m_tools.initControls();
}

MainForm::~MainForm() {
    m_services.instances.stop();
}

void MainForm::connectHandlers() {
    auto guarded = [this](auto handler) { return [this, handler] { m_guard.run(handler); }; };
    m_ui.Tabek.Click.connect(guarded([this] { Tabek_Click(); }));
    m_ui.t1sec.Tick.connect(guarded([this] { t1sec_Timer(); }));
    m_ui.coDelete.Click.connect(guarded([this] { coDelete_Click(); }));
    m_ui.frmSQD.Resize.connect(guarded([this] { Form_Resize(); }));
    m_ui.mSysExit.Click.connect([this] { close(); });
    m_ui.tDelayUpdate.Tick.connect(guarded([this] { m_updates.tDelayUpdate_Timer(); }));
    const std::pair<CheckBox*, const char*> boxes[] = {{&m_ui.chSound, key::NotifySound},
                                                       {&m_ui.chPop, key::NotifyPopup},
                                                       {&m_ui.chFeedback, key::NotifyFeedback},
                                                       {&m_ui.chAutoConnect, key::Autoconnect}};
    for (const auto& [box, name] : boxes) {
        box->Click.connect(guarded([this, box = box, name = name] {
            if (m_state.bFormReady) {
                m_settings.writeCheck(name, box->value());
            }
        }));
    }
}

template <typename Step>
void MainForm::startStep(Step&& step) {
    try {
        step();
    } catch (const RuntimeError& error) {
        if (error.number() != err::InvalidPropertyValue) {
            throw;
        }
        m_ui.Tabek.setSelectedTab(tab::Configuration);
        m_settings.writeInt(key::LastTab, 0);
    }
}

bool MainForm::Form_Load(const std::vector<std::string>& arguments) {
    try {
        try {
            if (m_services.instances.otherInstanceRunning()) {
                HandOverToRunningInstance(arguments);
            }
            m_state.bFormReady = false;
            m_state.bSettingsReset = false;
            const LinkArgument parsed = ServerLinks::ParseLinkArguments(arguments);
            if (parsed.kind == LinkArgument::Kind::Invalid) {
                unloadAndEnd();
            }
            const std::string link = parsed.address;
            m_platform.pump.doEvents();
            startStep([&] { m_ui.frmSQD.setCaption(m_state.sAppCaption); });
            startStep([&] { placeWindow(); });
            startStep([&] { m_ui.frmSQD.setWindowState(WindowState::Normal); });
            startStep([&] { LoadSettings(); });
            startStep([&] { InitTimers(m_ui); });
            startStep([&] { m_colour.LoadSliders(); });
            startStep([&] { restoreMode(link); });
            startStep([&] {
                if (m_ui.Tabek.selectedTab() == tab::Tools) {
                    m_colour.AttachDisplay();
                }
            });
            startStep([&] { m_banner.StartBanner(); });
            startStep([&] {
                m_ui.frmSQD.setVisible(true);
                m_platform.pump.doEvents();
            });
            startStep([&] {
                if (m_ui.Tabek.selectedTab() == tab::Chat) {
                    m_ui.tChat.setFocus();
                } else {
                    m_ui.Tabek.setFocus();
                }
            });
            m_state.bGameInFront = false;
            m_ui.t1sec.start();
            m_ui.tDelayUpdate.start();
            m_services.instances.listen(
                [this](InstanceChannel::Request request) { onInstanceRequest(request); });
            m_state.bFormReady = true;
            // The first frame shows none of these; each would delay it (the display's ramp, a
            // helper process, the desktop's bus, the X server's key grabs).
            m_platform.windows.afterFirstFrame([this] { finishStartUp(); });
            if (link.size() >= 3) {
                if (m_ui.chSound.checked()) {
                    m_notifier.PlayResourceSound(kStartSound, true);
                }
                if (m_ui.chAutoConnect.checked()) {
                    m_link.fighter().coConnect_Click();
                }
            }
        } catch (const RuntimeError& error) {
            m_guard.unexpected(error);
        } catch (const std::exception& error) {
            m_guard.unexpected(error.what());
        }
    } catch (const ProgramEnd&) {
        return false;
    }
    return !m_ended;
}

void MainForm::finishStartUp() {
    if (m_ended || m_unloaded) {
        return;
    }
    m_guard.run([this] {
        startStep([&] { m_colour.AttachDisplay(); });
        startStep([&] { m_serverLinks.RegisterUrlProtocol(m_services.executablePath); });
        startStep([&] { m_services.tray.add(); });
        startStep([&] {
            m_state.bHotKeyUp = m_services.hotKeys.registerKey(
                HotKeys::Key::GammaUp, [this] { m_guard.run([this] { gammaHotKey(true); }); });
            m_state.bHotKeyDown = m_services.hotKeys.registerKey(
                HotKeys::Key::GammaDown, [this] { m_guard.run([this] { gammaHotKey(false); }); });
        });
    });
}

void MainForm::placeWindow() {
    const Rect area = m_platform.windows.workArea();
    const double areaLeft = area.left * kTwipsPerPixel;
    const double areaRight = area.right * kTwipsPerPixel;
    const double areaTop = area.top * kTwipsPerPixel;
    const double areaBottom = area.bottom * kTwipsPerPixel;
    const double width = m_ui.frmSQD.width() * kTwipsPerPixel;
    const double height = m_ui.frmSQD.height() * kTwipsPerPixel;
    double left = m_settings.readNumber(key::Left, areaLeft);
    double top = m_settings.readNumber(key::Top, areaTop);
    if (left < areaLeft) {
        left = areaLeft;
    }
    if (left + width > areaRight) {
        left = areaRight - width;
    }
    if (top < areaTop) {
        top = areaTop;
    }
    if (top + height > areaBottom) {
        top = areaBottom - height;
    }
    m_ui.frmSQD.move(static_cast<int>(std::lround(left / kTwipsPerPixel)),
                     static_cast<int>(std::lround(top / kTwipsPerPixel)));
}

void MainForm::LoadSettings() {
    auto& ui = m_ui;
    ui.tNick.setMaxLength(23);
    ui.tNick.setText(m_settings.readText(key::Nick));
    ui.tNick.moveCaretToEnd();
    ui.tNick.setHooked(true);
    if (m_platform.sound.outputDeviceCount() >= 1) {
        ui.chSound.setValue(m_settings.readCheck(key::NotifySound, 1));
    } else {
        ui.chSound.setValue(0);
        ui.chSound.setEnabled(false);
    }
    ui.chPop.setValue(m_settings.readCheck(key::NotifyPopup, 0));
    ui.chFeedback.setValue(m_settings.readCheck(key::NotifyFeedback, 0));
    ui.chAutoConnect.setCaption(
        "Automatically connect to War Arranger when clicking on SQD link (sqd://server)");
    ui.chAutoConnect.setValue(m_settings.readCheck(key::Autoconnect, 1));
    m_chat.LoadSettings();
    ui.lFirewall.setCaption(
        "NOTE: If you are using a firewall then allow Squadlink to use ports 80, 27220 and 27221");
    ui.lReset.setCaption("Click to delete all registry entries used by Squadlink");
    ui.tServer.setMaxLength(34);
    ui.tGame.setMaxLength(34);
    ui.tPassword.setMaxLength(18);
    ui.lbFighters.setTabStops({});
    ui.lbFighters.setTabStops({184, 251});
    ui.tChat.setMaxLength(256);
    ui.tChat.setHooked(true);
    m_notifier.ShowConnectionLamp();
    m_notifier.ShowClock();
    m_link.arranger().ShowOwnAddress();
    m_launch.ShowStoredPaths();
}

void MainForm::restoreMode(const std::string& link) {
    auto& ui = m_ui;
    if (link.size() > 2) {
        ui.oClient.setValue(true);
        m_settings.writeBool(key::ClientMode, true);
        m_settings.writeBool(key::ServerMode, false);
        m_link.fighter().EnterFighterMode(false);
        ui.tServer.setText(link);
        selectTabOrRepair(tab::Fighter);
    } else if (m_settings.readBool(key::ClientMode, true)) {
        ui.oClient.setValue(true);
        m_link.fighter().EnterFighterMode(true);
        selectStoredTab();
    } else if (m_settings.readBool(key::ServerMode, false)) {
        ui.oServer.setValue(true);
        m_link.arranger().EnterArrangerMode(false);
        selectStoredTab();
    } else {
        selectStoredTab();
    }
}

void MainForm::selectStoredTab() {
    selectTabOrRepair(m_settings.readInt(key::LastTab, 0));
}

void MainForm::selectTabOrRepair(int tab) {
    // A disabled tab cannot be shown: the remembered tab may belong to the other mode.
    if (tab >= 0 && tab < m_ui.Tabek.tabCount() && !m_ui.Tabek.tabEnabled(tab)) {
        tab = tab::Configuration;
    }
    m_ui.Tabek.setSelectedTab(tab);
}

void MainForm::Form_Unload() {
    if (!m_state.bFormReady || m_secondInstance || m_unloaded) {
        return;
    }
    m_unloaded = true;
    auto& ui = m_ui;
    StopTimers(ui);
    m_colour.RestoreDisplay();
    ui.tNick.setHooked(false);
    ui.tChat.setHooked(false);
    try {
        if (ui.oServer.value()) {
            ui.tGame.setHooked(false);
            ui.tPassword.setHooked(false);
            if (!ui.lbFighters.empty()) {
                m_link.arranger().CloseAllFighters(true, {});
            }
        } else if (ui.oClient.value()) {
            ui.tServer.setHooked(false);
            if (m_state.sArrangerAddress.size() > 2) {
                m_link.fighter().LeaveArranger();
            }
        }
    } catch (const RuntimeError&) {
        // Saying goodbye is best effort; the settings below must still be saved.
    }
    m_platform.socket.close();
    m_platform.pump.doEvents();
    if (m_state.bHotKeyUp) {
        m_services.hotKeys.unregisterKey(HotKeys::Key::GammaUp);
    }
    if (m_state.bHotKeyDown) {
        m_services.hotKeys.unregisterKey(HotKeys::Key::GammaDown);
    }
    m_services.tray.remove();
    m_services.instances.stop();
    if (!m_state.bSettingsReset) {
        if (ui.frmSQD.windowState() != WindowState::Minimized) {
            m_settings.writeText(key::Left, numberText(ui.frmSQD.left() * kTwipsPerPixel));
            m_settings.writeText(key::Top, numberText(ui.frmSQD.top() * kTwipsPerPixel));
        }
        m_settings.writeText(key::Nick, trimBlanks(ui.tNick.text()));
        m_settings.writeText(key::Server,
                             TidiedOnLeaving(EntryBox::Server, trimBlanks(ui.tServer.text())));
        m_colour.SaveSettings();
    }
}

void MainForm::unloadAndEnd() {
    if (!m_ended) {
        m_ended = true;
        try {
            Form_Unload();
        } catch (const RuntimeError&) {
            // Ending anyway.
        }
        m_platform.application.quit();
    }
    throw ProgramEnd{};
}

void MainForm::end() {
    m_ended = true;
    m_platform.application.quit();
    throw ProgramEnd{};
}

void MainForm::close() {
    if (m_ended) {
        return;
    }
    try {
        unloadAndEnd();
    } catch (const ProgramEnd&) {
    }
}

void MainForm::trayActivated() {
    m_guard.run([this] {
        m_ui.frmSQD.setVisible(true);
        m_ui.frmSQD.setWindowState(WindowState::Normal);
        m_platform.windows.restoreAndActivateMainWindow();
        m_platform.pump.doEvents();
    });
}

void MainForm::Tabek_Click() {
    if (!m_state.bFormReady) {
        return;
    }
    m_settings.writeInt(key::LastTab, m_ui.Tabek.selectedTab());
    if (m_ui.Tabek.selectedTab() == tab::Chat) {
        m_ui.tChat.setFocus();
    }
}

void MainForm::t1sec_Timer() {
    m_notifier.ShowConnectionLamp();
    m_notifier.ShowClock();
    m_colour.t1secGameWatch();
    m_colour.HintBlink();
}

void MainForm::Form_Resize() {
    if (!m_state.bFormReady) {
        return;
    }
    if (m_ui.frmSQD.windowState() == WindowState::Minimized) {
        m_ui.tBanner.stop();
        // Without a notification area the taskbar button is the only way back.
        if (m_services.tray.available()) {
            m_ui.frmSQD.setVisible(false);
        }
    } else if (m_ui.frmSQD.windowState() == WindowState::Normal) {
        m_banner.ResumeBannerRotation();
    }
}

void MainForm::gammaHotKey(bool up) {
    auto& gamma = m_ui.hsGamma;
    const int step = up ? gamma.largeChange() : -gamma.largeChange();
    const int next = gamma.value() + step;
    if (next > gamma.max() || next < gamma.min()) {
        return;
    }
    m_notifier.PlayResourceSound(kGammaSound, false);
    gamma.setValue(next);
}

void MainForm::coDelete_Click() {
    const int answer = m_messages.ShowMessage(
        std::string("Are you sure you want to delete all Squadlink registry entries?") +
            kLineBreak + "Squadlink will have to close",
        mb::YesNoInformationDefaultNo, "Reset to defaults");
    if (answer == mb::No) {
        return;
    }
    m_settings.removeSection();
    if (!m_services.urlScheme.unregisterHandler()) {
        return;
    }
    m_state.bSettingsReset = true;
    unloadAndEnd();
}

void MainForm::HandOverToRunningInstance(const std::vector<std::string>& arguments) {
    m_secondInstance = true;
    const LinkArgument parsed = ServerLinks::ParseLinkArguments(arguments);
    if (parsed.kind == LinkArgument::Kind::Address) {
        m_settings.writeText(key::Temp, parsed.address);
        m_settings.flush();
        m_services.instances.send(InstanceChannel::Request::UrlExec);
    } else if (parsed.kind == LinkArgument::Kind::Empty) {
        m_services.instances.send(InstanceChannel::Request::Activate);
        m_platform.pump.doEvents();
    }
    end();
    throw ProgramEnd{};
}

void MainForm::onInstanceRequest(InstanceChannel::Request request) {
    m_guard.run([&] {
        if (request == InstanceChannel::Request::UrlExec) {
            try {
                m_serverLinks.ReceivedURLEXEC();
            } catch (const RuntimeError& error) {
                if (error.number() != err::InvalidProcedureCall) {
                    throw;
                }
            }
        } else {
            m_ui.frmSQD.setVisible(true);
            m_ui.frmSQD.setWindowState(WindowState::Normal);
            m_platform.windows.restoreAndActivateMainWindow();
            m_platform.pump.doEvents();
        }
    });
}

}  // namespace squadlink
