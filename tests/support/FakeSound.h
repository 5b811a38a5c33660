#pragma once

#include <utility>
#include <vector>

#include "platform/SoundPlayer.h"

namespace squadlink {

class FakeSound : public SoundPlayer {
public:
    int outputDeviceCount() const override { return devices; }
    void play(int soundId, bool wait) override { played.push_back({soundId, wait}); }
    int devices = 1;
    std::vector<std::pair<int, bool>> played;
};

}  // namespace squadlink
