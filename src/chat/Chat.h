#pragma once

#include <memory>

#include "chat/ChatContext.h"
#include "chat/ChatInput.h"
#include "chat/LinkActions.h"
#include "chat/MemoryChatDocument.h"
#include "chat/ReflexTester.h"
#include "chat/RichChatView.h"
#include "core/Attention.h"
#include "core/ErrorGuard.h"

namespace squadlink {

// The chat: the view, the input box, the link actions and the reflex tester, wired to their
// controls through the common error handler.
class Chat {
public:
    struct Services {
        WindowModel& ui;
        FormState& state;
        Platform& platform;
        Messages& messages;
        SettingsStore& settings;
        Attention& attention;
        ErrorGuard& guard;
    };

    // Without a document of the window's, the view is kept in memory.
    Chat(const Services& services, ChatDocument* document);
    Chat(const Chat&) = delete;
    Chat& operator=(const Chat&) = delete;

    void setLinkSender(LinkSender& sender) { m_ctx.sender = &sender; }
    void connectHandlers();
    // The right button of the other input boxes, for those that paste on Ctrl+V by now.
    void connectRightClicks();
    // The smiley options from the settings store.
    void LoadSettings();
    void oSmiley_Click();

    RichChatView& view() { return m_view; }
    ChatInput& input() { return m_input; }
    LinkActions& links() { return m_links; }
    ReflexTester& reflex() { return m_reflex; }

private:
    Services m_services;
    std::unique_ptr<MemoryChatDocument> m_ownDocument;
    RichChatView m_view;
    ChatContext m_ctx;
    ChatInput m_input;
    LinkActions m_links;
    ReflexTester m_reflex;
};

}  // namespace squadlink
