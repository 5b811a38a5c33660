#pragma once

#include "platform/DisplayGamma.h"

namespace squadlink {

// The custom ramp from the display's start-up ramp and the three slider factors. Leaves
// `custom` untouched unless every factor is above 0. Computed in single precision step by step,
// so that the same sliders give the same levels, entry for entry, wherever it runs.
void BuildGammaRamp(const GammaTable& startup, GammaTable& custom, float gamma, float contrast,
                    float brightness);

}  // namespace squadlink
