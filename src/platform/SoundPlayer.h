#pragma once

namespace squadlink {

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual int outputDeviceCount() const = 0;
    // Plays one of the program's own sounds (101 to 106). With wait set it returns when the
    // sound has ended, and never later than the sound lasts.
    virtual void play(int soundId, bool wait) = 0;
};

}  // namespace squadlink
