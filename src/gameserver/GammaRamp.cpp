#include "gameserver/GammaRamp.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace squadlink {

namespace {

// The darkest level the ramp may reach (65409 / 2^24): never black, so that a dark display
// stays readable at any slider position.
const float kFloor = std::bit_cast<float>(std::uint32_t{0x3B7F8100});

float clamp(float v) {
    if (v < kFloor) {
        return kFloor;
    }
    if (v > 1.0F) {
        return 1.0F;
    }
    return v;
}

}  // namespace

void BuildGammaRamp(const GammaTable& startup, GammaTable& custom, float gamma, float contrast,
                    float brightness) {
    if (!(gamma > 0.0F && contrast > 0.0F && brightness > 0.0F)) {
        return;
    }
    const float inverseGamma = 1.0F / gamma;
    for (std::size_t i = 0; i < startup.size(); ++i) {
        const auto level = static_cast<std::uint16_t>(startup[i]);
        float v = static_cast<float>(level) / 65535.0F;
        // Each step is rounded to single precision on its own, the way the levels were always
        // computed; a fused or wider computation would move some entries by one.
        const float centred = v - 0.5F;
        const float stretched = contrast * centred;
        v = stretched + 0.5F;
        v = clamp(v);
        const auto logarithm = static_cast<float>(std::log(static_cast<double>(v)));
        const float scaled = logarithm * inverseGamma;
        v = static_cast<float>(std::exp(static_cast<double>(scaled)));
        v = clamp(v);
        const float brighter = brightness + v;
        v = brighter - 1.0F;
        v = clamp(v);
        const float full = v * 65535.0F;
        // Halves go to the even level (the default rounding mode).
        auto w = static_cast<std::int32_t>(std::nearbyint(full));
        if (w > 32767) {
            w -= 65536;
        }
        custom[i] = static_cast<std::int16_t>(w);
    }
}

}  // namespace squadlink
