#pragma once

#include <map>
#include <optional>
#include <string>

#include "platform/SettingsBackend.h"

namespace squadlink {

class FakeSettings : public SettingsBackend {
public:
    std::optional<std::string> read(const std::string& key) const override;
    void write(const std::string& key, const std::string& value) override { values[key] = value; }
    bool remove(const std::string& key) override { return values.erase(key) > 0; }
    bool removeSection() override {
        const bool any = !values.empty();
        values.clear();
        return any;
    }
    std::map<std::string, std::string> values;
};

}  // namespace squadlink
