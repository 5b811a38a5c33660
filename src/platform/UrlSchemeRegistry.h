#pragma once

#include <string>

namespace squadlink {

// The desktop's registration of the program as the handler of "sqd" links. Implementations
// report nothing and throw nothing: a user who may not change the registration keeps the
// old one.
class UrlSchemeRegistry {
public:
    virtual ~UrlSchemeRegistry() = default;
    // The executable the current handler starts; empty when there is none.
    virtual std::string currentCommand() const = 0;
    // Makes the executable at this absolute path the handler.
    virtual void registerHandler(const std::string& executablePath) = 0;
    // Removes the registration (reset to defaults). False when it could not be removed.
    virtual bool unregisterHandler() = 0;
};

}  // namespace squadlink
