#pragma once

#include "core/ErrorGuard.h"
#include "core/FormState.h"
#include "core/SettingsStore.h"
#include "core/model/WindowModel.h"
#include "gameserver/GameWindows.h"
#include "platform/DisplayGamma.h"

namespace squadlink {

// The colour manager: brightness, contrast and gamma of the whole display through its gamma
// ramp, switched on by hand ("Turn on") or while the game's window is in front, and the
// display's own ramp put back whenever it is switched off and at shut-down.
class ColourManager {
public:
    static constexpr const char* kTurnOn = "Turn on";
    static constexpr const char* kTurnOff = "Turn off";
    static constexpr const char* kFrameCaption = "Color manager";
    static constexpr const char* kUnsupported = " (not supported by your display adapter)";

    ColourManager(WindowModel& ui, FormState& state, SettingsStore& settings, DisplayGamma& display,
                  GameWindows& windows);

    void connectHandlers(ErrorGuard& guard);

    // Start-up: reads the display's ramp and puts the stored settings into the controls.
    void InitColourManagement() {
        LoadSliders();
        AttachDisplay();
    }
    // Start-up in two steps. The sliders take their stored values first. The display's ramp
    // (round trips to the display server) can then wait for the first frame, unless that frame
    // shows the colour manager: only its controls depend on it.
    void LoadSliders();
    void AttachDisplay();
    bool displayAttached() const { return m_attached; }
    // Shut-down: the display's own ramp back; then the slider values stored (the caller skips
    // that when the settings were just deleted).
    void RestoreDisplay() { applyStartup(); }
    void SaveSettings();

    void hsBrightness_Change() { sliderChange(m_ui.hsBrightness); }
    void hsContrast_Change() { sliderChange(m_ui.hsContrast); }
    void hsGamma_Change() { sliderChange(m_ui.hsGamma); }
    void coTurn_Click();
    void coResetCM_Click();
    void chAutoCM_Click();
    // The running-game part of the one-second tick.
    void t1secGameWatch();
    // The one-second blink of the hot-key hints beside the gamma slider.
    void HintBlink();

    bool supported() const { return m_supported; }
    const GammaTable& startupRamp() const { return m_startupRamp; }
    const GammaTable& customRamp() const { return m_customRamp; }

private:
    void sliderChange(ScrollBar& bar);
    void showValue(const ScrollBar& bar);
    void buildCustomRamp();
    void applyCustom();
    void applyStartup();
    void disableFrame();

    WindowModel& m_ui;
    FormState& m_state;
    SettingsStore& m_settings;
    DisplayGamma& m_display;
    GameWindows& m_windows;
    GammaTable m_startupRamp{};
    GammaTable m_customRamp{};
    bool m_supported = false;
    bool m_autoCM = false;
    bool m_attached = false;
    // The stored automatic setting is being shown, not chosen by the user.
    bool m_attaching = false;
    // The custom ramp is on the display (applied and not yet taken back).
    bool m_customShown = false;
};

}  // namespace squadlink
