#pragma once

#include <functional>

#include "core/Lifecycle.h"
#include "platform/RuntimeError.h"

namespace squadlink {

// Records how the program would have ended; `onUnload` stands in for the shut-down.
class FakeLifecycle : public Lifecycle {
public:
    [[noreturn]] void unloadAndEnd() override {
        ++unloads;
        if (!m_ended && onUnload) {
            m_ended = true;
            onUnload();
        }
        m_ended = true;
        throw ProgramEnd{};
    }
    [[noreturn]] void end() override {
        ++ends;
        m_ended = true;
        throw ProgramEnd{};
    }
    bool ended() const override { return m_ended; }
    void reset() { m_ended = false; }

    int unloads = 0;
    int ends = 0;
    std::function<void()> onUnload;

private:
    bool m_ended = false;
};

}  // namespace squadlink
