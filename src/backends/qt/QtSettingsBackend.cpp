#include "backends/qt/QtSettingsBackend.h"

#include <sys/stat.h>

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QStringList>
#include <QTimer>
#include <QVariant>

#include "backends/qt/Cp1252.h"

namespace squadlink {

namespace {

const QString kGroup = QStringLiteral("Settings");

QString groupKey(const std::string& key) {
    return kGroup + QLatin1Char('/') + QString::fromLatin1(key.data(), qsizetype(key.size()));
}

}  // namespace

// QSettings writes its changes by itself once the event loop runs; while writes are held, that
// request waits for our own flush.
class QtSettingsBackend::HoldFilter : public QObject {
public:
    explicit HoldFilter(const bool& held) : m_held(held) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        (void)watched;
        return m_held && event->type() == QEvent::UpdateRequest;
    }

private:
    const bool& m_held;
};

QtSettingsBackend::QtSettingsBackend()
    : m_settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Squadlink"),
                 QStringLiteral("Squadlink")),
      m_stamp(fileStamp()),
      m_holdFilter(std::make_unique<HoldFilter>(m_held)) {
    m_settings.installEventFilter(m_holdFilter.get());
}

QtSettingsBackend::~QtSettingsBackend() {
    flush();
}

QString QtSettingsBackend::fileStamp() const {
    // Every write replaces the file, so its inode changes even within one clock tick.
    struct stat info {};
    if (::stat(QFile::encodeName(m_settings.fileName()).constData(), &info) != 0) {
        return {};
    }
    return QStringLiteral("%1:%2:%3.%4")
        .arg(info.st_ino)
        .arg(info.st_size)
        .arg(info.st_mtim.tv_sec)
        .arg(info.st_mtim.tv_nsec);
}

void QtSettingsBackend::sync() const {
    m_settings.sync();
    m_pending = false;
    m_stamp = fileStamp();
}

void QtSettingsBackend::refresh() const {
    // One stat of the user's file instead of QSettings' own check of it and of every
    // system-wide fallback file: start-up alone reads some forty values.
    if (fileStamp() == m_stamp) {
        return;
    }
    sync();
}

void QtSettingsBackend::changed() {
    if (m_pending) {
        return;
    }
    m_pending = true;
    // Without an event loop (a tool, a test) the change is written at once.
    if (QCoreApplication::instance() == nullptr) {
        sync();
        return;
    }
    if (!m_held) {
        scheduleFlush();
    }
}

void QtSettingsBackend::scheduleFlush() {
    QTimer::singleShot(0, &m_timerOwner, [this] { flush(); });
}

void QtSettingsBackend::holdWrites() {
    m_held = true;
}

void QtSettingsBackend::releaseWrites() {
    if (!m_held) {
        return;
    }
    m_held = false;
    if (m_pending) {
        scheduleFlush();
    }
}

void QtSettingsBackend::flush() {
    if (m_pending) {
        sync();
    }
}

std::optional<std::string> QtSettingsBackend::read(const std::string& key) const {
    refresh();
    const QVariant value = m_settings.value(groupKey(key));
    if (!value.isValid()) {
        return std::nullopt;
    }
    // A value edited by hand with commas in it comes back from the INI reader as a list.
    if (value.typeId() == QMetaType::QStringList) {
        return Cp1252::fromUnicode(value.toStringList().join(QLatin1Char(',')));
    }
    return Cp1252::fromUnicode(value.toString());
}

void QtSettingsBackend::write(const std::string& key, const std::string& value) {
    m_settings.setValue(groupKey(key), Cp1252::toUnicode(value));
    changed();
}

bool QtSettingsBackend::remove(const std::string& key) {
    refresh();
    const QString name = groupKey(key);
    if (!m_settings.contains(name)) {
        return false;
    }
    m_settings.remove(name);
    changed();
    return true;
}

bool QtSettingsBackend::removeSection() {
    refresh();
    m_settings.beginGroup(kGroup);
    const bool any = !m_settings.childKeys().isEmpty() || !m_settings.childGroups().isEmpty();
    m_settings.endGroup();
    if (!any) {
        return false;
    }
    m_settings.remove(kGroup);
    changed();
    return true;
}

}  // namespace squadlink
