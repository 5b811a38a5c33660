#pragma once

#include <array>
#include <cstdint>

namespace squadlink {

// One display gamma ramp: red entries 0 to 255, then green, then blue. Entries hold the
// unsigned 0 to 65535 level as a 16-bit signed bit pattern, as the settings of old kept it.
using GammaTable = std::array<std::int16_t, 3 * 256>;

// The display's loadable gamma ramp. A display without one (no X server, Wayland, an
// offscreen session, a driver without gamma) fails the read, and the colour manager then
// reports itself unsupported.
class DisplayGamma {
public:
    virtual ~DisplayGamma() = default;
    // The display's ramp now, sampled to 256 levels per colour; false when there is none.
    virtual bool read(GammaTable& table) = 0;
    // Loads the ramp into every output of the display; failures are ignored.
    virtual void apply(const GammaTable& table) = 0;
    // Puts back, output by output and at each output's own precision, the ramps the first
    // successful read found.
    virtual void restoreFirstRead() = 0;
};

}  // namespace squadlink
