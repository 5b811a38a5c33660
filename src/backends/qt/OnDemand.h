#pragma once

#include <memory>
#include <string>

#include "platform/HttpClient.h"
#include "platform/SoundPlayer.h"

namespace squadlink {

// Sound and HTTP live in modules of their own, loaded the first time they are needed: Qt
// Multimedia with the audio system and Qt Network with its proxy and security libraries are
// then never loaded at start-up, and a copy that sits idle in the tray never loads them at all.
//
// A module is looked for in "../lib/squadlink" beside the executable (installed, and the test
// programs of a build tree), then in the build tree's own module folder.

// The module's file, or empty when it cannot be found; used by the test that checks packaging.
std::string onDemandModulePath(const char* fileName);

// Plays through the sound module, loaded on the first sound. Whether the machine can play at all
// is answered without loading it: a sound server is running for this session.
class OnDemandSoundPlayer : public SoundPlayer {
public:
    OnDemandSoundPlayer();
    ~OnDemandSoundPlayer() override;
    OnDemandSoundPlayer(const OnDemandSoundPlayer&) = delete;
    OnDemandSoundPlayer& operator=(const OnDemandSoundPlayer&) = delete;

    int outputDeviceCount() const override;
    void play(int soundId, bool wait) override;

    // A PulseAudio (or PipeWire) server for this user: $PULSE_SERVER names one, or its socket is
    // in the runtime folder.
    static bool soundServerRuns();

private:
    std::unique_ptr<SoundPlayer> m_player;
    bool m_tried = false;
};

// A reply that takes longer than this counts as no reply.
inline constexpr int kDefaultHttpTimeoutMs = 10000;

// Fetches through the HTTP module, loaded on the first request.
class OnDemandHttpClient : public HttpClient {
public:
    OnDemandHttpClient(std::string userAgent, int timeoutMs);
    ~OnDemandHttpClient() override;
    OnDemandHttpClient(const OnDemandHttpClient&) = delete;
    OnDemandHttpClient& operator=(const OnDemandHttpClient&) = delete;

    std::string get(const std::string& url) override;

private:
    std::string m_userAgent;
    int m_timeoutMs;
    std::unique_ptr<HttpClient> m_client;
    bool m_tried = false;
};

}  // namespace squadlink

// The entry points the modules export.
extern "C" {
using SquadlinkCreateSoundPlayer = squadlink::SoundPlayer* (*)();
using SquadlinkCreateHttpClient = squadlink::HttpClient* (*)(const char* userAgent, int timeoutMs);
}
