#include "backends/linux/FontWarmUp.h"

#include <fontconfig/fontconfig.h>

#include <system_error>

namespace squadlink {

FontWarmUp::FontWarmUp() {
    try {
        m_thread = std::thread([] {
            // Thread-safe since fontconfig 2.11: whoever comes second finds the configuration
            // loaded.
            FcInit();
        });
    } catch (const std::system_error&) {
        // No thread to spare: Qt loads the configuration itself, as it always could.
    }
}

FontWarmUp::~FontWarmUp() {
    wait();
}

void FontWarmUp::wait() {
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

}  // namespace squadlink
