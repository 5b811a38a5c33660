#pragma once

#include "platform/Application.h"

namespace squadlink {

// Ends the Qt event loop. A quit requested before the loop runs (during start-up) would be
// lost by Qt, so it is remembered: main checks quitRequested() before entering the loop.
class QtApplication : public Application {
public:
    void quit() override;
    bool quitRequested() const { return m_quitRequested; }

private:
    bool m_quitRequested = false;
};

}  // namespace squadlink
