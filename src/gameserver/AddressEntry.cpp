#include "gameserver/AddressEntry.h"

namespace squadlink {

namespace {
constexpr int kRetryCancelWarning = 5 | mb::Warning;
constexpr int kRetry = 4;
constexpr int kKeyEnter = 13;
constexpr int kKeyEscape = 27;
constexpr int kKeyC = 67;
constexpr int kKeyV = 86;
constexpr int kKeyX = 88;
constexpr int kCtrlOnly = 2;
}  // namespace

void AddressEntry::connectHandlers() {
    auto& ui = m_ctx.ui;
    auto guarded = [this](auto handler) { return [this, handler] { m_ctx.guard.run(handler); }; };
    const std::pair<TextBox*, EntryBox> boxes[] = {{&ui.tGame, EntryBox::Game},
                                                   {&ui.tPassword, EntryBox::Password},
                                                   {&ui.tNick, EntryBox::Nick},
                                                   {&ui.tServer, EntryBox::Server}};
    for (const auto& [textBox, kind] : boxes) {
        const EntryBox box = kind;
        textBox->Change.connect(guarded([this, box] { Change(box); }));
        textBox->KeyPress.connect(
            [this, box](int& key) { m_ctx.guard.run([&] { KeyPress(box, key); }); });
        textBox->KeyDown.connect([this, box](int& key, int shift) {
            m_ctx.guard.run([&] { KeyDown(box, key, shift); });
        });
        if (box != EntryBox::Password) {
            textBox->LostFocus.connect(guarded([this, box] { LostFocus(box); }));
        }
    }
    ui.coPasteGame.Click.connect(guarded([this] { coPasteGame_Click(); }));
    ui.coPasteAddress.Click.connect(guarded([this] { coPasteAddress_Click(); }));
    ui.coCopyWAIP.Click.connect(guarded([this] { coCopyWAIP_Click(); }));
    ui.coWALink.Click.connect(guarded([this] { coWALink_Click(); }));
    ui.coCopyCommand[0].Click.connect(guarded([this] { coCopyCommand_Click(0); }));
    ui.coCopyCommand[1].Click.connect(guarded([this] { coCopyCommand_Click(1); }));
}

TextBox& AddressEntry::boxFor(EntryBox box) {
    auto& ui = m_ctx.ui;
    switch (box) {
        case EntryBox::Game:
            return ui.tGame;
        case EntryBox::Password:
            return ui.tPassword;
        case EntryBox::Nick:
            return ui.tNick;
        case EntryBox::Server:
            break;
    }
    return ui.tServer;
}

void AddressEntry::clearGame() {
    if (m_actions.clearDetails) {
        m_actions.clearDetails();
    }
    m_ctx.ui.tPassword.setText({});
}

void AddressEntry::Change(EntryBox box) {
    TextBox& textBox = boxFor(box);
    if (textBox.text().empty()) {
        return;
    }
    // Writing back an unchanged text raises no further change; a cut or emptied text runs
    // this check once more.
    textBox.setText(CheckedContent(box, textBox.text()));
    if (box == EntryBox::Game) {
        clearGame();
    }
}

void AddressEntry::KeyPress(EntryBox box, int& keyAscii) {
    if (!IsAcceptedKey(box, keyAscii)) {
        keyAscii = 0;
    }
}

void AddressEntry::LostFocus(EntryBox box) {
    TextBox& textBox = boxFor(box);
    textBox.setText(TidiedOnLeaving(box, textBox.text()));
}

bool AddressEntry::withClipboard(const std::function<void()>& step) {
    for (;;) {
        try {
            step();
            return true;
        } catch (const RuntimeError& error) {
            if (error.number() != err::ClipboardCannotEmpty &&
                error.number() != err::ClipboardCannotOpen) {
                throw;
            }
        }
        if (m_ctx.messages.ShowMessage("Windows Clipboard was not available", kRetryCancelWarning,
                                       "Warning") != kRetry) {
            return false;
        }
    }
}

void AddressEntry::KeyDown(EntryBox box, int& keyCode, int shift) {
    TextBox& textBox = boxFor(box);
    if (keyCode == kKeyEscape) {
        textBox.setText({});
        if (box == EntryBox::Game) {
            clearGame();
        }
        return;
    }
    if (keyCode == kKeyEnter) {
        if (box == EntryBox::Game && m_actions.scan) {
            m_actions.scan();
        } else if (box == EntryBox::Server && m_actions.connect) {
            m_actions.connect();
        }
        return;
    }
    if (shift != kCtrlOnly || (keyCode != kKeyV && keyCode != kKeyC && keyCode != kKeyX)) {
        return;
    }
    std::string clipboard;
    if (!withClipboard([&] { clipboard = m_ctx.platform.clipboard.text(); }) || clipboard.empty()) {
        return;
    }
    const std::string text = textBox.text();
    const std::size_t start = std::min(textBox.selStart(), text.size());
    const std::size_t length = std::min(textBox.selLength(), text.size() - start);
    if (keyCode == kKeyV) {
        const std::string pasted = KeyPasteText(box, clipboard);
        if (pasted.empty()) {
            return;
        }
        textBox.setText(text.substr(0, start) + pasted + text.substr(start + length));
        textBox.setSelStart(start + pasted.size());
        return;
    }
    if (length == 0) {
        return;
    }
    const std::string selected = text.substr(start, length);
    if (!withClipboard([&] { m_ctx.platform.clipboard.setText(selected); })) {
        return;
    }
    if (keyCode == kKeyX) {
        textBox.setText(text.substr(0, start) + text.substr(start + length));
        textBox.setSelStart(start);
    }
}

void AddressEntry::pasteButton(EntryBox box) {
    std::string clipboard;
    if (!withClipboard([&] { clipboard = m_ctx.platform.clipboard.text(); })) {
        return;
    }
    if (clipboard.empty()) {
        m_ctx.messages.warning("Windows Clipboard contains no textual information");
        return;
    }
    TextBox& textBox = boxFor(box);
    const std::string previous = textBox.text();
    const std::string text = PasteButtonText(box, clipboard);
    if (text.empty()) {
        return;
    }
    textBox.setText(text);
    if (textBox.text().size() < 3) {
        textBox.setText(previous);
        m_ctx.messages.warning("Windows Clipboard contains invalid server address");
    }
}

void AddressEntry::copy(const std::string& text) {
    withClipboard([&] { m_ctx.platform.clipboard.setText(text); });
}

void AddressEntry::coCopyWAIP_Click() {
    const std::string& address = m_ctx.ui.lWAAddress.caption();
    if (address.size() < 3) {
        m_ctx.messages.warning("IP address invalid or unknown");
        return;
    }
    copy(address);
}

void AddressEntry::coWALink_Click() {
    const std::string& address = m_ctx.ui.lWAAddress.caption();
    if (address.size() < 3) {
        m_ctx.messages.warning("IP address invalid or unknown");
        return;
    }
    copy("sqd://" + address);
}

void AddressEntry::coCopyCommand_Click(int index) {
    const auto& ui = m_ctx.ui;
    const std::string address = index == 0 ? ui.lServer.caption() : ui.tGame.text();
    const std::string password = index == 0 ? ui.lPassword.caption() : ui.tPassword.text();
    // What reaches the clipboard is typed into the game's console: nothing outside the entry
    // rules may get there, whoever sent it.
    if (address.size() < 3 || !IsValidGameAddress(address) || !IsValidGamePassword(password)) {
        m_ctx.messages.warning("Game server address invalid or not specified");
        return;
    }
    copy(ConsoleCommand(address, password));
}

}  // namespace squadlink
