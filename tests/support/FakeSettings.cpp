#include "support/FakeSettings.h"

namespace squadlink {

std::optional<std::string> FakeSettings::read(const std::string& key) const {
    const auto found = values.find(key);
    if (found == values.end()) {
        return std::nullopt;
    }
    return found->second;
}

}  // namespace squadlink
