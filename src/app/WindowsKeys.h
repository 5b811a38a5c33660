#pragma once

namespace squadlink::winkeys {

// The Windows virtual-key code of a Qt key (Qt::Key), or 0 when it has none worth reporting.
// The behaviour's key handlers test these codes.
int virtualKey(int qtKey);

// The Windows-1252 code a key types: Ctrl+letter as 1 to 26, Backspace 8, Enter 13, Escape 27,
// '?' for a character Windows-1252 lacks, or -1 when the key types nothing. `codePoint` is the
// first character of the key's text, 0 when it has none.
int typedCharacter(int qtKey, bool control, bool alt, char32_t codePoint);

}  // namespace squadlink::winkeys
