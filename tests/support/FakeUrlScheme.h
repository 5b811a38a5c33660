#pragma once

#include <string>

#include "platform/UrlSchemeRegistry.h"

namespace squadlink {

class FakeUrlScheme : public UrlSchemeRegistry {
public:
    std::string currentCommand() const override { return command; }
    void registerHandler(const std::string& executablePath) override {
        ++registrations;
        command = executablePath;
    }
    bool unregisterHandler() override {
        if (!removable) {
            return false;
        }
        command.clear();
        return true;
    }
    std::string command;
    int registrations = 0;
    bool removable = true;
};

}  // namespace squadlink
