#pragma once

#include <optional>
#include <string>

namespace squadlink {

// Per-user store of text values in the program's "Settings" section.
class SettingsBackend {
public:
    virtual ~SettingsBackend() = default;
    virtual std::optional<std::string> read(const std::string& key) const = 0;
    virtual void write(const std::string& key, const std::string& value) = 0;
    // Both return false when there was nothing to delete.
    virtual bool remove(const std::string& key) = 0;
    virtual bool removeSection() = 0;
    // Makes every change so far visible to other processes at once. Stores may otherwise
    // gather changes and write them together shortly after.
    virtual void flush() {}
};

}  // namespace squadlink
