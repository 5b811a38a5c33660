#pragma once

#include <cstdint>
#include <vector>

#include "platform/DisplayGamma.h"

struct _XDisplay;

namespace squadlink {

// The display's gamma through XRandR: every CRTC has a ramp of its own length (256 on most
// X servers, 1024 or 4096 on some drivers). The colour manager works in 256 levels; those are
// stretched to each CRTC's length when applied. Without a display, RandR 1.2 or a CRTC with a
// ramp, the read fails and the colour manager reports itself unsupported.
class XrandrDisplayGamma : public DisplayGamma {
public:
    // `display` may be null (no X server, Wayland, offscreen): then nothing is supported.
    explicit XrandrDisplayGamma(_XDisplay* display);

    // Linear resampling between ramps of different lengths; the end points stay where they are.
    static std::vector<std::uint16_t> resample(const std::uint16_t* source, std::size_t sourceSize,
                                               std::size_t targetSize);

    bool read(GammaTable& table) override;
    void apply(const GammaTable& table) override;
    void restoreFirstRead() override;

private:
    struct CrtcRamp {
        unsigned long crtc = 0;
        std::vector<std::uint16_t> red;
        std::vector<std::uint16_t> green;
        std::vector<std::uint16_t> blue;
    };
    bool ready();
    std::vector<CrtcRamp> readAll();
    void write(const CrtcRamp& ramp) const;

    _XDisplay* m_display;
    std::vector<CrtcRamp> m_firstRead;
    bool m_read = false;
    bool m_checked = false;
};

}  // namespace squadlink
