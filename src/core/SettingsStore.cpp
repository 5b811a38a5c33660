#include "core/SettingsStore.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

#include "core/TextUtil.h"

namespace squadlink {

namespace {

struct KeyDefault {
    const char* key;
    const char* text;
};

// "Left" and "Top" default to the work area's corner, which only the caller knows; their
// entries stay empty and the caller passes the corner as the fallback.
constexpr std::array<KeyDefault, 26> kDefaults{{
    {key::Left, ""},
    {key::Top, ""},
    {key::ClientMode, "True"},
    {key::ServerMode, "False"},
    {key::LastTab, "0"},
    {key::Nick, ""},
    {key::Server, ""},
    {key::Game, ""},
    {key::NotifySound, "1"},
    {key::NotifyPopup, "0"},
    {key::NotifyFeedback, "0"},
    {key::Autoconnect, "1"},
    {key::AutoCM, "0"},
    {key::Brightness, "100"},
    {key::Contrast, "100"},
    {key::Gamma, "100"},
    {key::Smiley1, "False"},
    {key::Smiley2, "True"},
    {key::Smiley3, "False"},
    {key::HLPath, ""},
    {key::CDPath, ""},
    {key::Home, "www.squadlink.org/Squadlink"},
    {key::MonthCheck, "0"},
    {key::Temp, ""},
    {key::TempPass, ""},
    {key::TempAddress, ""},
}};

std::string_view trimmed(std::string_view text) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Decimal text only, never the user's locale: a value written on one machine must read the
// same on every other.
std::optional<double> parseNumber(std::string_view text) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
            return std::nullopt;
        }
    }
    if (text.empty()) {
        return std::nullopt;
    }
    double value = 0.0;
    const char* const end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::general);
    if (ec != std::errc() || ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> parseInt(std::string_view text) {
    const auto number = parseNumber(text);
    if (!number) {
        return std::nullopt;
    }
    // Halves round to even, as the stored numbers were always converted.
    const double rounded = std::nearbyint(*number);
    if (rounded < static_cast<double>(std::numeric_limits<int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<int>::max())) {
        return std::nullopt;
    }
    return static_cast<int>(rounded);
}

std::optional<bool> parseBool(std::string_view text) {
    const std::string_view word = trimmed(text);
    if (equalsIgnoreCase(word, "true")) {
        return true;
    }
    if (equalsIgnoreCase(word, "false")) {
        return false;
    }
    const auto number = parseNumber(word);
    if (!number) {
        return std::nullopt;
    }
    return *number != 0.0;
}

std::optional<int> parseCheck(std::string_view text) {
    const auto value = parseInt(text);
    if (!value || (*value != 0 && *value != 1)) {
        return std::nullopt;
    }
    return value;
}

std::string formatNumber(double value) {
    std::array<char, 512> buffer{};
    const auto [ptr, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                         std::chars_format::fixed);
    if (ec != std::errc()) {
        return "0";
    }
    return std::string(buffer.data(), ptr);
}

}  // namespace

const char* const SettingsStore::kAllKeys[] = {
    key::Left,           key::Top,         key::ClientMode, key::ServerMode,  key::LastTab,
    key::Nick,           key::Server,      key::Game,       key::NotifySound, key::NotifyPopup,
    key::NotifyFeedback, key::Autoconnect, key::AutoCM,     key::Brightness,  key::Contrast,
    key::Gamma,          key::Smiley1,     key::Smiley2,    key::Smiley3,     key::HLPath,
    key::CDPath,         key::Home,        key::MonthCheck, key::Temp,        key::TempPass,
    key::TempAddress,
};

const std::size_t SettingsStore::kKeyCount = std::size(SettingsStore::kAllKeys);

std::string SettingsStore::defaultText(const char* key) {
    for (const auto& entry : kDefaults) {
        if (std::strcmp(entry.key, key) == 0) {
            return entry.text;
        }
    }
    return {};
}

std::string SettingsStore::readText(const char* key, std::string_view fallback) const {
    auto value = m_backend.read(key);
    if (!value) {
        return std::string(fallback);
    }
    return std::move(*value);
}

bool SettingsStore::readBool(const char* key, bool fallback) const {
    const auto value = m_backend.read(key);
    if (!value) {
        return fallback;
    }
    return parseBool(*value).value_or(fallback);
}

int SettingsStore::readCheck(const char* key, int fallback) const {
    const auto value = m_backend.read(key);
    if (!value) {
        return fallback;
    }
    return parseCheck(*value).value_or(fallback);
}

int SettingsStore::readInt(const char* key, int fallback) const {
    const auto value = m_backend.read(key);
    if (!value) {
        return fallback;
    }
    return parseInt(*value).value_or(fallback);
}

double SettingsStore::readNumber(const char* key, double fallback) const {
    const auto value = m_backend.read(key);
    if (!value) {
        return fallback;
    }
    return parseNumber(*value).value_or(fallback);
}

void SettingsStore::writeText(const char* key, std::string_view value) {
    m_backend.write(key, std::string(value));
}

void SettingsStore::writeBool(const char* key, bool value) {
    m_backend.write(key, value ? "True" : "False");
}

void SettingsStore::writeCheck(const char* key, int value) {
    m_backend.write(key, value != 0 ? "1" : "0");
}

void SettingsStore::writeInt(const char* key, int value) {
    m_backend.write(key, std::to_string(value));
}

void SettingsStore::writeNumber(const char* key, double value) {
    m_backend.write(key, formatNumber(value));
}

bool SettingsStore::remove(const char* key) {
    return m_backend.remove(key);
}

bool SettingsStore::removeSection() {
    return m_backend.removeSection();
}

}  // namespace squadlink
