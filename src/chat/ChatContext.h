#pragma once

#include "core/FormState.h"
#include "core/LinkSender.h"
#include "core/Messages.h"
#include "core/SettingsStore.h"
#include "core/model/WindowModel.h"
#include "platform/Platform.h"

namespace squadlink {

class RichChatView;

// What the chat's classes share: the window model, the form state, the platform services, the
// way out to the link, and the view they all write into.
struct ChatContext {
    WindowModel& ui;
    FormState& state;
    Platform& platform;
    Messages& messages;
    SettingsStore& settings;
    RichChatView& view;
    LinkSender* sender = nullptr;

    LinkSender& link() const { return *sender; }

    bool arrangerMode() const { return ui.oServer.value(); }
    bool fighterConnected() const { return state.sArrangerAddress.size() >= 3; }
};

}  // namespace squadlink
