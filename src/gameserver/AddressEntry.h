#pragma once

#include <functional>
#include <string>

#include "core/Context.h"
#include "gameserver/EntryRules.h"

namespace squadlink {

// The address, password and nick boxes with their keys, and the Paste and Copy buttons.
class AddressEntry {
public:
    struct Actions {
        std::function<void()> scan;          // Enter in the game box
        std::function<void()> connect;       // Enter in the War Arranger box
        std::function<void()> clearDetails;  // an edit of the game address drops the scan
    };

    AddressEntry(const Context& context, Actions actions)
        : m_ctx(context), m_actions(std::move(actions)) {}

    // Connects the four boxes' events and the buttons through the common error handler.
    void connectHandlers();

    void Change(EntryBox box);
    void KeyPress(EntryBox box, int& keyAscii);
    void KeyDown(EntryBox box, int& keyCode, int shift);
    void LostFocus(EntryBox box);
    void coPasteGame_Click() { pasteButton(EntryBox::Game); }
    void coPasteAddress_Click() { pasteButton(EntryBox::Server); }
    void coCopyWAIP_Click();
    void coWALink_Click();
    void coCopyCommand_Click(int index);

private:
    TextBox& boxFor(EntryBox box);
    void pasteButton(EntryBox box);
    void clearGame();
    // Runs a clipboard step; a busy clipboard asks Retry or Cancel. False when cancelled.
    bool withClipboard(const std::function<void()>& step);
    void copy(const std::string& text);

    Context m_ctx;
    Actions m_actions;
};

}  // namespace squadlink
