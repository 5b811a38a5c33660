#pragma once

#include <thread>

namespace squadlink {

// Reads the font configuration on a thread of its own while the main thread connects to the
// display. Loading fontconfig's configuration is the largest single step before the first
// window can show text, and nothing else needs the processor meanwhile. Qt later finds it
// loaded. Ends (joined) at wait() or when dropped.
class FontWarmUp {
public:
    FontWarmUp();
    ~FontWarmUp();
    FontWarmUp(const FontWarmUp&) = delete;
    FontWarmUp& operator=(const FontWarmUp&) = delete;

    void wait();

private:
    std::thread m_thread;
};

}  // namespace squadlink
