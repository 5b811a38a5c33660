#include "core/ErrorGuard.h"

#include <exception>

namespace squadlink {

void ErrorGuard::unexpected(const RuntimeError& error) {
    unexpected(error.what());
}

void ErrorGuard::unexpected(const char* what) {
    m_messages.showBeforeEnd(what, mb::Error, "Error");
    m_lifecycle.unloadAndEnd();
    throw ProgramEnd{};
}

void ErrorGuard::portsInUse() {
    m_messages.showBeforeEnd(std::string("Ports needed by Squadlink are in use") + kLineBreak +
                                 "Squadlink will now close",
                             mb::Warning, "Warning");
    m_lifecycle.end();
    throw ProgramEnd{};
}

bool ErrorGuard::run(const std::function<void()>& handler) {
    if (m_lifecycle.ended()) {
        return false;
    }
    try {
        try {
            handler();
        } catch (const RuntimeError& error) {
            unexpected(error);
        } catch (const std::exception& error) {
            unexpected(error.what());
        }
    } catch (const ProgramEnd&) {
        return false;
    }
    return !m_lifecycle.ended();
}

}  // namespace squadlink
