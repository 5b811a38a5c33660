#pragma once

#include <QObject>
#include <map>
#include <memory>

#include "platform/SoundPlayer.h"

class QSoundEffect;

namespace squadlink {

// Plays the program's own WAV sounds, compiled in as resources ":/sounds/<id>.wav". Nothing
// falls back to a system sound; without an output device nothing plays at all. A sound is loaded
// (asynchronously) the first time it plays. The program reaches this through the sound module.
class QtSoundPlayer : public SoundPlayer {
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;
    QtSoundPlayer(const QtSoundPlayer&) = delete;
    QtSoundPlayer& operator=(const QtSoundPlayer&) = delete;

    int outputDeviceCount() const override;
    void play(int soundId, bool wait) override;

    // Length in milliseconds from the resource's WAV header; 0 when there is no such sound.
    static int durationMs(int soundId);

private:
    QSoundEffect* effect(int soundId);
    std::map<int, std::unique_ptr<QSoundEffect>> m_effects;
};

}  // namespace squadlink
