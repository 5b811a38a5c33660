#include "update/UpdateCheck.h"

#include "core/TextUtil.h"
#include "update/ServerFiles.h"

namespace squadlink {

bool UpdateCheck::CheckForUpdate(bool interactive) {
    const std::optional<UpdateInfo> info = parseUpdateInfo(m_ctx.server.HttpGetFile("update.txt"));
    if (!info) {
        return false;
    }
    const std::string stored =
        m_ctx.settings.readText(key::Home, SettingsStore::defaultText(key::Home));
    if (!equalsIgnoreCase(info->home, stored)) {
        m_ctx.settings.writeText(key::Home, info->home);
    }
    if (info->release < kNewerRelease) {
        if (interactive) {
            m_ctx.messages.ShowMessage(std::string("This is the latest version of ") + kAppTitle,
                                       mb::Information, "Update check");
        }
        return true;
    }
    const int answer = m_ctx.messages.ShowMessage(std::string("New version of ") + kAppTitle +
                                                      " is available for download" + kLineBreak +
                                                      "Would you like to download it now?",
                                                  mb::YesNoInformation, "Update check");
    if (answer == mb::Yes) {
        if (!m_ctx.platform.desktop.openUrl("http://" + info->home)) {
            m_ctx.messages.warning("Launching default web browser program failed");
        }
        m_ctx.lifecycle.unloadAndEnd();
    }
    return true;
}

void UpdateCheck::tDelayUpdate_Timer() {
    m_ctx.ui.tDelayUpdate.stop();
    const int month = m_ctx.platform.clock.now().month;
    const int last = m_ctx.settings.readInt(key::MonthCheck, 0);
    // January always checks: a "MonthCheck" of 12 from last year would otherwise block it.
    if (last < month || month == 1) {
        if (CheckForUpdate(false)) {
            m_ctx.settings.writeInt(key::MonthCheck, month);
        }
    }
}

}  // namespace squadlink
