#pragma once

#include <cstdint>
#include <string>

namespace squadlink {

// Form-level state shared by the subsystems.
struct FormState {
    std::string sAppCaption;
    std::string sVersion;
    bool bFormReady = false;
    bool bSettingsReset = false;
    bool bHotKeyUp = false;
    bool bHotKeyDown = false;
    bool bGameInFront = false;

    std::string sNick;
    // Fighter: the War Arranger this copy is connected to; empty when not connected.
    std::string sArrangerAddress;
    int nReportedPing = -1;
    std::int64_t nQueryClock = 0;
};

}  // namespace squadlink
