#include "gameserver/ColourManager.h"

#include <cstdio>

#include "gameserver/GammaRamp.h"

namespace squadlink {

namespace {
constexpr int kNeutral = 100;

std::string percentText(int value) {
    return std::to_string(value) + "%";
}

std::string factorText(int value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d.%02d", value / 100, value % 100);
    return buffer;
}

float factor(const ScrollBar& bar) {
    return static_cast<float>(bar.value()) / 100.0F;
}
}  // namespace

ColourManager::ColourManager(WindowModel& ui, FormState& state, SettingsStore& settings,
                             DisplayGamma& display, GameWindows& windows)
    : m_ui(ui), m_state(state), m_settings(settings), m_display(display), m_windows(windows) {
    m_ui.fCM.setCaption(kFrameCaption);
    m_ui.lCM.setCaption("Click to turn color management on or off");
    m_ui.coTurn.setCaption(kTurnOn);
    m_ui.lBrightness.setCaption("Brightness:");
    m_ui.lContrast.setCaption("Contrast:");
    m_ui.lGamma.setCaption("Gamma:");
    m_ui.lResetCM.setCaption("Click to reset color management to default values");
    m_ui.coResetCM.setCaption("Reset");
    m_ui.lNoteCM.setCaption(
        "NOTE: Using other color management programs in the same time may garble your display");
    m_ui.chAutoCM.setCaption("Automatically turn color management on when playing Counter-Strike");
    m_ui.pbGamaUp.setCaption("+");
    m_ui.pbGamaUp.setToolTip(
        "Use the hotkey 'CTRL + SHIFT + Numpad+' to increase the gamma when "
        "playing Counter-Strike.");
    m_ui.pbGamaDown.setCaption("-");
    m_ui.pbGamaDown.setToolTip(
        "Use the hotkey 'CTRL + SHIFT + Numpad-' to decrease the gamma "
        "when playing Counter-Strike.");
    m_ui.pbGamaDown.setHighlighted(true);
    for (const ScrollBar* bar : {&m_ui.hsBrightness, &m_ui.hsContrast, &m_ui.hsGamma}) {
        showValue(*bar);
    }
}

void ColourManager::connectHandlers(ErrorGuard& guard) {
    auto guarded = [&guard](auto handler) { return [&guard, handler] { guard.run(handler); }; };
    m_ui.hsBrightness.Change.connect(guarded([this] { hsBrightness_Change(); }));
    m_ui.hsContrast.Change.connect(guarded([this] { hsContrast_Change(); }));
    m_ui.hsGamma.Change.connect(guarded([this] { hsGamma_Change(); }));
    m_ui.coTurn.Click.connect(guarded([this] { coTurn_Click(); }));
    m_ui.coResetCM.Click.connect(guarded([this] { coResetCM_Click(); }));
    m_ui.chAutoCM.Click.connect(guarded([this] { chAutoCM_Click(); }));
}

void ColourManager::LoadSliders() {
    // The sliders take their stored values even without a ramp, so that a session without one
    // (Wayland, a remote desktop) does not overwrite them with the defaults at shut-down.
    m_ui.hsBrightness.setValue(m_settings.readInt(key::Brightness, kNeutral));
    m_ui.hsContrast.setValue(m_settings.readInt(key::Contrast, kNeutral));
    m_ui.hsGamma.setValue(m_settings.readInt(key::Gamma, kNeutral));
}

void ColourManager::AttachDisplay() {
    if (m_attached) {
        return;
    }
    m_attached = true;
    m_supported = m_display.read(m_startupRamp);
    m_customRamp = m_startupRamp;
    m_attaching = true;
    if (m_supported) {
        m_ui.chAutoCM.setValue(m_settings.readCheck(key::AutoCM, 0));
        chAutoCM_Click();
        buildCustomRamp();
    } else {
        disableFrame();
    }
    m_attaching = false;
}

void ColourManager::disableFrame() {
    m_ui.fCM.setCaption(std::string(kFrameCaption) + kUnsupported);
    for (Control* control : std::initializer_list<Control*>{
             &m_ui.fCM, &m_ui.lCM, &m_ui.coTurn, &m_ui.lBrightness, &m_ui.hsBrightness,
             &m_ui.lBValue, &m_ui.lContrast, &m_ui.hsContrast, &m_ui.lCValue, &m_ui.lGamma,
             &m_ui.hsGamma, &m_ui.lGValue, &m_ui.lResetCM, &m_ui.coResetCM, &m_ui.lNoteCM}) {
        control->setEnabled(false);
    }
    m_ui.chAutoCM.setValue(0);
    m_autoCM = false;
    m_ui.chAutoCM.setEnabled(false);
}

void ColourManager::SaveSettings() {
    m_settings.writeInt(key::Brightness, m_ui.hsBrightness.value());
    m_settings.writeInt(key::Contrast, m_ui.hsContrast.value());
    m_settings.writeInt(key::Gamma, m_ui.hsGamma.value());
}

void ColourManager::showValue(const ScrollBar& bar) {
    if (&bar == &m_ui.hsBrightness) {
        m_ui.lBValue.setCaption(percentText(bar.value()));
    } else if (&bar == &m_ui.hsContrast) {
        m_ui.lCValue.setCaption(percentText(bar.value()));
    } else {
        m_ui.lGValue.setCaption(factorText(bar.value()));
    }
}

void ColourManager::sliderChange(ScrollBar& bar) {
    showValue(bar);
    if (!m_state.bFormReady) {
        return;
    }
    buildCustomRamp();
    if (m_ui.coTurn.caption() == kTurnOff || (m_state.bGameInFront && m_ui.chAutoCM.checked())) {
        applyCustom();
    }
}

void ColourManager::buildCustomRamp() {
    BuildGammaRamp(m_startupRamp, m_customRamp, factor(m_ui.hsGamma), factor(m_ui.hsContrast),
                   factor(m_ui.hsBrightness));
}

void ColourManager::applyCustom() {
    if (m_supported) {
        m_display.apply(m_customRamp);
        m_customShown = true;
    }
}

void ColourManager::applyStartup() {
    // Only our own ramp is taken back: a ramp another tool set meanwhile (a night-light
    // program) is not ours to overwrite.
    if (m_supported && m_customShown) {
        m_display.restoreFirstRead();
        m_customShown = false;
    }
}

void ColourManager::coTurn_Click() {
    if (m_ui.coTurn.caption() == kTurnOff) {
        m_ui.coTurn.setCaption(kTurnOn);
        applyStartup();
    } else {
        m_ui.chAutoCM.setValue(0);
        m_ui.coTurn.setCaption(kTurnOff);
        applyCustom();
    }
}

void ColourManager::chAutoCM_Click() {
    if (m_ui.chAutoCM.checked() && m_ui.coTurn.caption() == kTurnOff) {
        coTurn_Click();
    }
    m_autoCM = m_ui.chAutoCM.checked();
    // Unchecked while the game is in front: the ramp automatic mode put on is taken back, rather
    // than left on a display no mode claims any more.
    if (!m_autoCM && m_ui.coTurn.caption() == kTurnOn) {
        applyStartup();
    }
    if (m_state.bFormReady && !m_attaching) {
        m_settings.writeCheck(key::AutoCM, m_ui.chAutoCM.value());
    }
}

void ColourManager::coResetCM_Click() {
    m_ui.coTurn.setCaption(kTurnOn);
    for (ScrollBar* bar : {&m_ui.hsBrightness, &m_ui.hsContrast, &m_ui.hsGamma}) {
        bar->setValue(kNeutral);
        showValue(*bar);
    }
    applyStartup();
}

void ColourManager::HintBlink() {
    const bool upShadowed = !m_ui.pbGamaUp.highlighted();
    m_ui.pbGamaUp.setHighlighted(upShadowed);
    m_ui.pbGamaDown.setHighlighted(!upShadowed);
}

void ColourManager::t1secGameWatch() {
    const auto front = m_windows.foregroundWindow();
    if (front == 0) {
        return;
    }
    const bool gameInFront = m_windows.IsGameWindow(front);
    if (gameInFront && !m_state.bGameInFront) {
        m_ui.tBanner.stop();
        if (m_autoCM) {
            applyCustom();
        }
        m_state.bGameInFront = true;
    } else if (!gameInFront && m_state.bGameInFront) {
        if (m_ui.frmSQD.windowState() != WindowState::Minimized && !m_ui.tBanner.enabled()) {
            m_ui.tBanner.start();
        }
        if (m_autoCM) {
            applyStartup();
        }
        m_state.bGameInFront = false;
    }
}

}  // namespace squadlink
