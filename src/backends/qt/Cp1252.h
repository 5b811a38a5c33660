#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace squadlink {

// Windows-1252 text (one byte per character, as the logic and the wire hold it) to and from
// Unicode, for the places where text meets a widget. The five bytes Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of the same code, as
// Windows itself converts them, so every byte string survives a round trip unchanged.
class Cp1252 {
public:
    static QString toUnicode(std::string_view bytes);
    static std::string fromUnicode(const QString& text);
    // The byte for one character, or -1 when Windows-1252 has no such character.
    static int byteFor(char32_t codePoint);
    static char32_t codePointFor(unsigned char byte);
};

}  // namespace squadlink
