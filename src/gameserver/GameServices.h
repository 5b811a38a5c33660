#pragma once

#include <string>

#include "platform/DisplayGamma.h"
#include "platform/FileDialog.h"
#include "platform/ProcessWindows.h"
#include "platform/TextMetrics.h"

namespace squadlink {

// The OS pieces the game launch and the colour manager use beyond the common platform bundle.
struct GameServices {
    DisplayGamma& display;
    ProcessWindows& processes;
    FileDialog& fileDialog;
    TextMetrics& metrics;
    // The user's home folder, where Steam installations are looked for.
    std::string homeFolder;
};

}  // namespace squadlink
