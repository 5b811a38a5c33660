#include "backends/qt/QtSoundPlayer.h"

#include <QAudioDevice>
#include <QEventLoop>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>
#include <cstdint>

namespace squadlink {

namespace {

constexpr int kFirstSound = 101;
constexpr int kLastSound = 106;
// A synchronous play gives the audio system this long beyond the sound's own length to report
// its end, and then returns whatever it reports.
constexpr int kEndMarginMs = 100;

QString resourcePath(int soundId) {
    return QStringLiteral(":/sounds/%1.wav").arg(soundId);
}

std::uint32_t readLe32(const QByteArray& bytes, qsizetype at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    }
    return value;
}

}  // namespace

QtSoundPlayer::QtSoundPlayer() = default;

QtSoundPlayer::~QtSoundPlayer() = default;

int QtSoundPlayer::outputDeviceCount() const {
    return static_cast<int>(QMediaDevices::audioOutputs().size());
}

int QtSoundPlayer::durationMs(int soundId) {
    QFile file(resourcePath(soundId));
    if (!file.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") {
        return 0;
    }
    std::uint32_t byteRate = 0;
    std::uint32_t dataSize = 0;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const std::uint32_t size = readLe32(bytes, at + 4);
        if (id == "fmt " && at + 16 <= bytes.size() && size >= 16) {
            byteRate = readLe32(bytes, at + 8 + 8);
        } else if (id == "data") {
            dataSize = size;
            break;
        }
        at += 8 + static_cast<qsizetype>(size) + static_cast<qsizetype>(size & 1U);
    }
    if (byteRate == 0) {
        return 0;
    }
    return static_cast<int>((static_cast<std::uint64_t>(dataSize) * 1000U) / byteRate);
}

QSoundEffect* QtSoundPlayer::effect(int soundId) {
    auto found = m_effects.find(soundId);
    if (found != m_effects.end()) {
        return found->second.get();
    }
    auto created = std::make_unique<QSoundEffect>();
    created->setSource(QUrl(QStringLiteral("qrc") + resourcePath(soundId)));
    return m_effects.emplace(soundId, std::move(created)).first->second.get();
}

void QtSoundPlayer::play(int soundId, bool wait) {
    if (soundId < kFirstSound || soundId > kLastSound || outputDeviceCount() == 0) {
        return;
    }
    QSoundEffect* sound = effect(soundId);
    sound->play();
    if (!wait) {
        return;
    }
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(sound, &QSoundEffect::playingChanged, &loop, [&loop, sound] {
        if (!sound->isPlaying()) {
            loop.quit();
        }
    });
    limit.start(durationMs(soundId) + kEndMarginMs);
    loop.exec();
}

}  // namespace squadlink

// The sound module's entry point.
extern "C" __attribute__((visibility("default"))) squadlink::SoundPlayer*
squadlink_create_sound_player() {
    return new squadlink::QtSoundPlayer();
}
