#include "core/Notifier.h"

#include <string>

#include "platform/RuntimeError.h"

namespace squadlink {

namespace {

std::string padded(int value, std::size_t width) {
    std::string text = std::to_string(value);
    if (text.size() < width) {
        text.insert(0, width - text.size(), '0');
    }
    return text;
}

}  // namespace

void Notifier::selectTab(int tab) {
    try {
        m_model.Tabek.setSelectedTab(tab);
    } catch (const RuntimeError& error) {
        if (error.number() != err::InvalidPropertyValue) {
            throw;
        }
        // A tab that does not exist: fall back to the first one and make sure the next
        // start does not trip over it either.
        m_model.Tabek.setSelectedTab(tab::Configuration);
        m_settings.writeInt(key::LastTab, 0);
    }
}

void Notifier::RequestAttention(int tab, int sound, bool wait) {
    const ForegroundWindow front = m_windows.foreground();
    const bool userElsewhere =
        front != ForegroundWindow::MainWindow && front != ForegroundWindow::Game;
    if (m_model.chPop.checked() && userElsewhere) {
        selectTab(tab);
        m_windows.restoreAndActivateMainWindow();
        m_pump.doEvents();
    }
    if (m_model.chSound.checked()) {
        PlayResourceSound(sound, wait);
    }
}

void Notifier::NotifyChatMessage() {
    if (!m_model.chSound.checked()) {
        return;
    }
    const bool watching = m_windows.foreground() == ForegroundWindow::MainWindow &&
                          m_model.Tabek.selectedTab() == tab::Chat;
    if (!watching) {
        PlayResourceSound(kChatSound, false);
    }
}

void Notifier::ShowConnectionLamp() {
    bool on = false;
    if (m_model.oClient.value()) {
        on = m_form.sArrangerAddress.size() > 2;
    } else if (m_model.oServer.value()) {
        on = m_model.lbFighters.listCount() >= 1;
    } else {
        return;
    }
    m_model.imgStatusOn.setVisible(on);
    m_model.imgStatusOff.setVisible(!on);
}

void Notifier::ShowClock() {
    const LocalDateTime now = m_clock.now();
    m_model.lDate.setCaption(padded(now.day, 2) + "." + padded(now.month, 2) + "." +
                             padded(now.year, 4));
    m_model.lTime.setCaption(padded(now.hour, 2) + ":" + padded(now.minute, 2) + ":" +
                             padded(now.second, 2));
}

void Notifier::PlayResourceSound(int sound, bool wait) {
    m_sound.play(sound, wait);
}

}  // namespace squadlink
