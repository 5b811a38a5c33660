#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace squadlink {

// The four boxes that take addresses, the password and the nick.
enum class EntryBox { Game, Password, Nick, Server };

// The longest text each box keeps.
std::size_t LongestLength(EntryBox box);
// Whether a typed character (Windows-1252 code) gets into the box at all. Some characters the
// content check refuses pass here on purpose: typing them empties the box.
bool IsAcceptedKey(EntryBox box, int keyAscii);
// Whether the content check accepts the character.
bool IsAcceptedCharacter(EntryBox box, char c);
// The content check: the text cut to the longest length (and, for the address boxes, without
// outer blanks), or an empty text when any character is refused. Never repairs.
std::string CheckedContent(EntryBox box, std::string_view text);
// The tidy step when a box loses the focus: the text kept, or empty.
std::string TidiedOnLeaving(EntryBox box, std::string_view text);
// Clipboard text for Ctrl+V: line breaks removed, outer blanks removed, cut to the box's
// longest length; the War Arranger box also cut before its first ':'.
std::string KeyPasteText(EntryBox box, std::string_view clipboard);
// Clipboard text for a Paste button (game or War Arranger box); the War Arranger box drops a
// server link's "sqd://" prefix first.
std::string PasteButtonText(EntryBox box, std::string_view clipboard);

// A game server address: 3 to 34 characters of letters, digits, '-', '.' and ':'. Nothing
// else (no ';', blank or quote) can reach a command line or console text.
bool IsValidGameAddress(std::string_view address);
// A game server password: at most 18 characters from blank to '~', no double quote.
bool IsValidGamePassword(std::string_view password);
// The game console text that joins the server: "connect <address>", after
// "password "<password>"; " when there is a password.
std::string ConsoleCommand(std::string_view address, std::string_view password);

// A game server address split into host and port: the port after the first ':' (27015 when
// there is none). `portUsable` is false when the port part is not a number from 1 to 65535.
struct GameAddress {
    std::string host;
    std::uint16_t port = 27015;
    bool portUsable = true;
};
GameAddress SplitGameAddress(std::string_view address);

}  // namespace squadlink
