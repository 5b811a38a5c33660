#include "backends/qt/OnDemand.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace squadlink {

namespace {

constexpr char kSoundModule[] = "libsquadlink-sound.so";
constexpr char kHttpModule[] = "libsquadlink-http.so";

std::filesystem::path executableFolder() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : self.parent_path();
}

// The module's entry point, or null (said once on standard error) when it cannot be loaded.
void* moduleEntry(const char* fileName, const char* entry) {
    const std::string path = onDemandModulePath(fileName);
    if (path.empty()) {
        std::fprintf(stderr, "squadlink: %s not found\n", fileName);
        return nullptr;
    }
    // Never unloaded: objects it made may live until the program ends.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        std::fprintf(stderr, "squadlink: %s\n", ::dlerror());
        return nullptr;
    }
    void* found = ::dlsym(module, entry);
    if (found == nullptr) {
        std::fprintf(stderr, "squadlink: %s has no %s\n", path.c_str(), entry);
    }
    return found;
}

bool isSocket(const QByteArray& path) {
    struct stat info {};
    return !path.isEmpty() && ::stat(path.constData(), &info) == 0 && S_ISSOCK(info.st_mode);
}

}  // namespace

std::string onDemandModulePath(const char* fileName) {
    std::vector<std::filesystem::path> folders;
    const auto executable = executableFolder();
    if (!executable.empty()) {
        folders.push_back(executable / ".." / "lib" / "squadlink");
    }
#ifdef SQUADLINK_BUILD_MODULE_DIR
    folders.emplace_back(SQUADLINK_BUILD_MODULE_DIR);
#endif
    for (const auto& folder : folders) {
        std::error_code error;
        const auto candidate = folder / fileName;
        if (std::filesystem::is_regular_file(candidate, error)) {
            return std::filesystem::weakly_canonical(candidate, error).string();
        }
    }
    return {};
}

// ---------------------------------------------------------------------------------------------

OnDemandSoundPlayer::OnDemandSoundPlayer() = default;
OnDemandSoundPlayer::~OnDemandSoundPlayer() = default;

bool OnDemandSoundPlayer::soundServerRuns() {
    if (!qEnvironmentVariable("PULSE_SERVER").isEmpty()) {
        return true;
    }
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && isSocket(runtime + "/pulse/native");
}

int OnDemandSoundPlayer::outputDeviceCount() const {
    return soundServerRuns() ? 1 : 0;
}

void OnDemandSoundPlayer::play(int soundId, bool wait) {
    if (!m_player && !m_tried) {
        if (!soundServerRuns()) {
            return;
        }
        m_tried = true;
        if (auto create = reinterpret_cast<SquadlinkCreateSoundPlayer>(
                moduleEntry(kSoundModule, "squadlink_create_sound_player"))) {
            m_player.reset(create());
        }
    }
    if (m_player) {
        m_player->play(soundId, wait);
    }
}

// ---------------------------------------------------------------------------------------------

OnDemandHttpClient::OnDemandHttpClient(std::string userAgent, int timeoutMs)
    : m_userAgent(std::move(userAgent)), m_timeoutMs(timeoutMs) {
}

OnDemandHttpClient::~OnDemandHttpClient() = default;

std::string OnDemandHttpClient::get(const std::string& url) {
    if (!m_tried) {
        m_tried = true;
        if (auto create = reinterpret_cast<SquadlinkCreateHttpClient>(
                moduleEntry(kHttpModule, "squadlink_create_http_client"))) {
            m_client.reset(create(m_userAgent.c_str(), m_timeoutMs));
        }
    }
    return m_client ? m_client->get(url) : std::string();
}

}  // namespace squadlink
