#pragma once

#include <string>
#include <string_view>

#include "platform/SettingsBackend.h"

namespace squadlink {

// Key names of the "Settings" section.
namespace key {
inline constexpr const char* Left = "Left";
inline constexpr const char* Top = "Top";
inline constexpr const char* ClientMode = "ClientMode";
inline constexpr const char* ServerMode = "ServerMode";
inline constexpr const char* LastTab = "LastTab";
inline constexpr const char* Nick = "Nick";
inline constexpr const char* Server = "Server";
inline constexpr const char* Game = "Game";
inline constexpr const char* NotifySound = "NotifySound";
inline constexpr const char* NotifyPopup = "NotifyPopup";
inline constexpr const char* NotifyFeedback = "NotifyFeedback";
inline constexpr const char* Autoconnect = "Autoconnect";
inline constexpr const char* AutoCM = "AutoCM";
inline constexpr const char* Brightness = "Brightness";
inline constexpr const char* Contrast = "Contrast";
inline constexpr const char* Gamma = "Gamma";
inline constexpr const char* Smiley1 = "Smiley1";
inline constexpr const char* Smiley2 = "Smiley2";
inline constexpr const char* Smiley3 = "Smiley3";
inline constexpr const char* HLPath = "HLPath";
inline constexpr const char* CDPath = "CDPath";
inline constexpr const char* Home = "Home";
inline constexpr const char* MonthCheck = "MonthCheck";
inline constexpr const char* Temp = "Temp";
inline constexpr const char* TempPass = "TempPass";
inline constexpr const char* TempAddress = "TempAddress";
}  // namespace key

// Typed access to the settings store with the program's text forms: booleans as "True" and
// "False", check boxes as "0" and "1", numbers as decimal text. A stored value that does not
// convert reads as the default, so that one bad value cannot stop the program from starting.
class SettingsStore {
public:
    explicit SettingsStore(SettingsBackend& backend) : m_backend(backend) {}

    std::string readText(const char* key, std::string_view fallback = {}) const;
    bool readBool(const char* key, bool fallback) const;
    int readCheck(const char* key, int fallback) const;
    int readInt(const char* key, int fallback) const;
    double readNumber(const char* key, double fallback) const;

    void writeText(const char* key, std::string_view value);
    void writeBool(const char* key, bool value);
    void writeCheck(const char* key, int value);
    void writeInt(const char* key, int value);
    void writeNumber(const char* key, double value);

    // Return false when there was nothing to delete (the store's error 5 case).
    bool remove(const char* key);
    bool removeSection();
    // Before another process is told to read what was written.
    void flush() { m_backend.flush(); }

    // The documented default of every key ("" for text keys).
    static std::string defaultText(const char* key);
    static const char* const kAllKeys[];
    static const std::size_t kKeyCount;

private:
    SettingsBackend& m_backend;
};

}  // namespace squadlink
