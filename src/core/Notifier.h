#pragma once

#include "core/Attention.h"
#include "core/FormState.h"
#include "core/SettingsStore.h"
#include "core/model/WindowModel.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/SoundPlayer.h"
#include "platform/WindowSystem.h"

namespace squadlink {

// Sounds, pop-ups, the connection lamp and the clock of the status bar. The window never
// pops up over a running game, and the chat sound stays quiet while the user is reading it.
class Notifier : public Attention {
public:
    static constexpr int kLinkSound = 101;
    static constexpr int kChatSound = 106;

    Notifier(WindowModel& model, FormState& form, WindowSystem& windows, SoundPlayer& sound,
             EventPump& pump, SettingsStore& settings, Clock& clock)
        : m_model(model),
          m_form(form),
          m_windows(windows),
          m_sound(sound),
          m_pump(pump),
          m_settings(settings),
          m_clock(clock) {}

    void RequestAttention(int tab, int sound, bool wait) override;
    void NotifyChatMessage() override;
    void ShowConnectionLamp() override;

    void ShowClock();
    void PlayResourceSound(int sound, bool wait);

private:
    void selectTab(int tab);

    WindowModel& m_model;
    FormState& m_form;
    WindowSystem& m_windows;
    SoundPlayer& m_sound;
    EventPump& m_pump;
    SettingsStore& m_settings;
    Clock& m_clock;
};

}  // namespace squadlink
