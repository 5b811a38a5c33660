#include "backends/linux/XrandrDisplayGamma.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace squadlink {

namespace {

constexpr std::size_t kLevels = 256;

}  // namespace

std::vector<std::uint16_t> XrandrDisplayGamma::resample(const std::uint16_t* source,
                                                        std::size_t sourceSize,
                                                        std::size_t targetSize) {
    std::vector<std::uint16_t> target(targetSize);
    if (sourceSize == 0 || targetSize == 0) {
        return target;
    }
    for (std::size_t j = 0; j < targetSize; ++j) {
        const double position = targetSize == 1
                                    ? 0.0
                                    : static_cast<double>(j) * static_cast<double>(sourceSize - 1) /
                                          static_cast<double>(targetSize - 1);
        const auto below = static_cast<std::size_t>(position);
        const std::size_t above = std::min(below + 1, sourceSize - 1);
        const double fraction = position - static_cast<double>(below);
        const double value = source[below] + (source[above] - source[below]) * fraction;
        target[j] = static_cast<std::uint16_t>(std::lround(value));
    }
    return target;
}

namespace {

// libXrandr (with libXext) is loaded the first time the ramp is wanted, not with the program:
// the first frame needs the ramp only when it shows the colour manager, and two more libraries
// to load before main() delayed every first frame.
struct Xrandr {
    decltype(&XRRQueryExtension) queryExtension = nullptr;
    decltype(&XRRQueryVersion) queryVersion = nullptr;
    decltype(&XRRGetScreenResourcesCurrent) getScreenResourcesCurrent = nullptr;
    decltype(&XRRFreeScreenResources) freeScreenResources = nullptr;
    decltype(&XRRGetCrtcGammaSize) getCrtcGammaSize = nullptr;
    decltype(&XRRGetCrtcGamma) getCrtcGamma = nullptr;
    decltype(&XRRAllocGamma) allocGamma = nullptr;
    decltype(&XRRSetCrtcGamma) setCrtcGamma = nullptr;
    decltype(&XRRFreeGamma) freeGamma = nullptr;

    // Null when the library or one of its calls is missing: then no ramp is supported.
    static const Xrandr* get() {
        static const std::unique_ptr<const Xrandr> loaded = load();
        return loaded.get();
    }

private:
    template <typename Call>
    static bool find(void* library, const char* name, Call& call) {
        call = reinterpret_cast<Call>(::dlsym(library, name));
        return call != nullptr;
    }

    static std::unique_ptr<const Xrandr> load() {
        // Never unloaded: the calls are wanted until the ramp is restored at shut-down.
        void* library = ::dlopen("libXrandr.so.2", RTLD_LAZY | RTLD_LOCAL);
        if (library == nullptr) {
            return nullptr;
        }
        auto calls = std::make_unique<Xrandr>();
        const bool complete =
            find(library, "XRRQueryExtension", calls->queryExtension) &&
            find(library, "XRRQueryVersion", calls->queryVersion) &&
            find(library, "XRRGetScreenResourcesCurrent", calls->getScreenResourcesCurrent) &&
            find(library, "XRRFreeScreenResources", calls->freeScreenResources) &&
            find(library, "XRRGetCrtcGammaSize", calls->getCrtcGammaSize) &&
            find(library, "XRRGetCrtcGamma", calls->getCrtcGamma) &&
            find(library, "XRRAllocGamma", calls->allocGamma) &&
            find(library, "XRRSetCrtcGamma", calls->setCrtcGamma) &&
            find(library, "XRRFreeGamma", calls->freeGamma);
        return complete ? std::move(calls) : nullptr;
    }
};

struct ResourcesDeleter {
    void operator()(XRRScreenResources* resources) const {
        Xrandr::get()->freeScreenResources(resources);
    }
};
struct GammaDeleter {
    void operator()(XRRCrtcGamma* gamma) const { Xrandr::get()->freeGamma(gamma); }
};

}  // namespace

XrandrDisplayGamma::XrandrDisplayGamma(_XDisplay* display) : m_display(display) {
}

// Asked on first use: the questions are round trips to the display server, which start-up
// does not wait for.
bool XrandrDisplayGamma::ready() {
    if (m_checked || m_display == nullptr) {
        return m_display != nullptr;
    }
    m_checked = true;
    const Xrandr* xrandr = Xrandr::get();
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    // CRTC gamma came with RandR 1.2.
    if (xrandr == nullptr || xrandr->queryExtension(m_display, &eventBase, &errorBase) == 0 ||
        xrandr->queryVersion(m_display, &major, &minor) == 0 || major < 1 ||
        (major == 1 && minor < 2)) {
        m_display = nullptr;
    }
    return m_display != nullptr;
}

std::vector<XrandrDisplayGamma::CrtcRamp> XrandrDisplayGamma::readAll() {
    std::vector<CrtcRamp> ramps;
    if (!ready()) {
        return ramps;
    }
    const Xrandr& xrandr = *Xrandr::get();
    const std::unique_ptr<XRRScreenResources, ResourcesDeleter> resources(
        xrandr.getScreenResourcesCurrent(m_display, DefaultRootWindow(m_display)));
    if (!resources) {
        return ramps;
    }
    for (int i = 0; i < resources->ncrtc; ++i) {
        const RRCrtc crtc = resources->crtcs[i];
        const int size = xrandr.getCrtcGammaSize(m_display, crtc);
        if (size < 2) {
            continue;
        }
        const std::unique_ptr<XRRCrtcGamma, GammaDeleter> gamma(
            xrandr.getCrtcGamma(m_display, crtc));
        if (!gamma || gamma->size != size) {
            continue;
        }
        const auto count = static_cast<std::size_t>(size);
        ramps.push_back(CrtcRamp{crtc,
                                 {gamma->red, gamma->red + count},
                                 {gamma->green, gamma->green + count},
                                 {gamma->blue, gamma->blue + count}});
    }
    return ramps;
}

bool XrandrDisplayGamma::read(GammaTable& table) {
    const std::vector<CrtcRamp> ramps = readAll();
    if (ramps.empty()) {
        return false;
    }
    if (!m_read) {
        m_firstRead = ramps;
        m_read = true;
    }
    // The first CRTC stands for the display, as one ramp did for the whole desktop.
    const CrtcRamp& first = ramps.front();
    const std::vector<std::uint16_t>* channels[] = {&first.red, &first.green, &first.blue};
    for (std::size_t c = 0; c < 3; ++c) {
        const auto levels = resample(channels[c]->data(), channels[c]->size(), kLevels);
        for (std::size_t i = 0; i < kLevels; ++i) {
            table[c * kLevels + i] = static_cast<std::int16_t>(levels[i]);
        }
    }
    return true;
}

void XrandrDisplayGamma::write(const CrtcRamp& ramp) const {
    const Xrandr& xrandr = *Xrandr::get();
    const int size = xrandr.getCrtcGammaSize(m_display, ramp.crtc);
    if (size < 2 || static_cast<std::size_t>(size) != ramp.red.size()) {
        return;
    }
    const std::unique_ptr<XRRCrtcGamma, GammaDeleter> gamma(xrandr.allocGamma(size));
    if (!gamma) {
        return;
    }
    std::copy(ramp.red.begin(), ramp.red.end(), gamma->red);
    std::copy(ramp.green.begin(), ramp.green.end(), gamma->green);
    std::copy(ramp.blue.begin(), ramp.blue.end(), gamma->blue);
    xrandr.setCrtcGamma(m_display, ramp.crtc, gamma.get());
}

void XrandrDisplayGamma::apply(const GammaTable& table) {
    if (!ready()) {
        return;
    }
    std::array<std::uint16_t, 3 * kLevels> levels{};
    std::transform(table.begin(), table.end(), levels.begin(),
                   [](std::int16_t entry) { return static_cast<std::uint16_t>(entry); });
    for (const CrtcRamp& current : readAll()) {
        const std::size_t size = current.red.size();
        write(CrtcRamp{current.crtc, resample(levels.data(), kLevels, size),
                       resample(levels.data() + kLevels, kLevels, size),
                       resample(levels.data() + 2 * kLevels, kLevels, size)});
    }
    XFlush(m_display);
}

void XrandrDisplayGamma::restoreFirstRead() {
    if (!m_read || !ready()) {
        return;
    }
    for (const CrtcRamp& ramp : m_firstRead) {
        write(ramp);
    }
    // At shut-down the connection closes next: the ramps must have reached the server.
    XSync(m_display, False);
}

}  // namespace squadlink
