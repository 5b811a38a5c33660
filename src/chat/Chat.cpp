#include "chat/Chat.h"

namespace squadlink {

namespace {
ChatDocument& documentOr(ChatDocument* document, std::unique_ptr<MemoryChatDocument>& own) {
    if (document != nullptr) {
        return *document;
    }
    own = std::make_unique<MemoryChatDocument>();
    return *own;
}
}  // namespace

Chat::Chat(const Services& services, ChatDocument* document)
    : m_services(services),
      m_view(RichChatView::Services{services.ui, services.state, services.platform.clock,
                                    services.attention, services.platform.socket},
             documentOr(document, m_ownDocument)),
      m_ctx{services.ui,       services.state,    services.platform,
            services.messages, services.settings, m_view},
      m_input(m_ctx),
      m_links(m_ctx),
      m_reflex(m_ctx) {
    auto& ui = services.ui;
    ui.fSmiley.setCaption("Smileys");
    ui.oSmiley1.setCaption("Crazy yellow");
    ui.oSmiley2.setCaption("Artistic touch");
    ui.oSmiley3.setCaption("Murky batch");
    ui.oSmiley2.setValue(true);
    m_view.setHistoryReset([this] { m_input.resetHistory(); });
    m_view.setPointerReset([this] { m_links.resetPointer(); });
}

void Chat::connectHandlers() {
    auto& ui = m_services.ui;
    ErrorGuard& guard = m_services.guard;
    auto guarded = [&guard](auto handler) { return [&guard, handler] { guard.run(handler); }; };
    ui.tChat.KeyDown.connect([this, &guard](int& keyCode, int shift) {
        guard.run([&] { m_input.tChat_KeyDown(keyCode, shift); });
    });
    ui.tChat.KeyPress.connect(
        [this, &guard](int& keyAscii) { guard.run([&] { m_input.tChat_KeyPress(keyAscii); }); });
    ui.tChat.Change.connect(guarded([this] { m_input.tChat_Change(); }));
    ui.tChat.RightClick.connect(guarded([this] { m_links.HandleRightClick(m_services.ui.tChat); }));

    ui.rtb.MouseMove.connect(
        [this, &guard](int x, int y) { guard.run([&] { m_links.rtb_MouseMove(x, y); }); });
    ui.rtb.MouseUp.connect([this, &guard](MouseButton button, int, int) {
        guard.run([&] { m_links.rtb_MouseUp(button); });
    });
    ui.rtb.DblClick.connect(guarded([this] { m_links.rtb_DblClick(); }));
    ui.rtb.Click.connect(guarded([this] { m_links.rtb_Click(); }));
    ui.rtb.LaidOut.connect(guarded([this] { m_view.ViewLaidOut(); }));
    ui.mOpenLink.Click.connect(guarded([this] { m_links.mOpenLink_Click(); }));
    ui.mCopyLink.Click.connect(guarded([this] { m_links.mCopyLink_Click(); }));

    for (OptionButton* option : {&ui.oSmiley1, &ui.oSmiley2, &ui.oSmiley3}) {
        option->Click.connect(guarded([this] { oSmiley_Click(); }));
    }

    ui.pbReflex.MouseDown.connect([this, &guard](MouseButton button, int, int) {
        guard.run([&] { m_reflex.pbReflex_MouseDown(button); });
    });
    ui.pbReflex.MouseUp.connect([this, &guard](MouseButton button, int, int) {
        guard.run([&] { m_reflex.pbReflex_MouseUp(button); });
    });
    ui.tSW.Tick.connect(guarded([this] { m_reflex.tSW_Timer(); }));
    ui.coReflexClear.Click.connect(guarded([this] { m_reflex.coReflexClear_Click(); }));
}

void Chat::connectRightClicks() {
    auto& ui = m_services.ui;
    // A box without its own paste rule keeps the desktop's menu, so that paste is never lost.
    for (TextBox* box : {&ui.tNick, &ui.tServer, &ui.tGame, &ui.tPassword}) {
        if (box->KeyDown.connected() && !box->RightClick.connected()) {
            box->RightClick.connect([this, box] {
                m_services.guard.run([this, box] { m_links.HandleRightClick(*box); });
            });
        }
    }
}

void Chat::LoadSettings() {
    auto& ui = m_services.ui;
    const SettingsStore& settings = m_services.settings;
    // Each option takes its stored state in turn, as a group does: the last one set wins.
    OptionButton* chosen = &ui.oSmiley2;
    if (settings.readBool(key::Smiley1, false)) {
        chosen = &ui.oSmiley1;
    }
    if (settings.readBool(key::Smiley2, true)) {
        chosen = &ui.oSmiley2;
    }
    if (settings.readBool(key::Smiley3, false)) {
        chosen = &ui.oSmiley3;
    }
    chosen->setValue(true);
}

void Chat::oSmiley_Click() {
    auto& ui = m_services.ui;
    if (m_services.state.bFormReady) {
        m_services.settings.writeBool(key::Smiley1, ui.oSmiley1.value());
        m_services.settings.writeBool(key::Smiley2, ui.oSmiley2.value());
        m_services.settings.writeBool(key::Smiley3, ui.oSmiley3.value());
    }
    m_view.BuildSmileyPanel();
}

}  // namespace squadlink
