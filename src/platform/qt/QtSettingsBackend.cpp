#include "platform/qt/QtSettingsBackend.h"

#include <QStringList>
#include <QVariant>
#include <array>

namespace squadlink {

namespace {

const QString kGroup = QStringLiteral("Settings");

// Windows-1252 0x80 to 0x9F; the five unassigned codes map to the C1 controls of the same
// value so that every byte survives a round trip.
constexpr std::array<char16_t, 32> kHighControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString groupKey(const std::string& key) {
    return kGroup + QLatin1Char('/') + QString::fromLatin1(key.data(), qsizetype(key.size()));
}

}  // namespace

QtSettingsBackend::QtSettingsBackend()
    : m_settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Squadlink"),
                 QStringLiteral("Squadlink")) {
}

QString QtSettingsBackend::fromWindows1252(const std::string& text) {
    QString out;
    out.reserve(qsizetype(text.size()));
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 && byte < 0xA0) {
            out.append(QChar(kHighControls[byte - 0x80]));
        } else {
            out.append(QChar(static_cast<char16_t>(byte)));
        }
    }
    return out;
}

std::string QtSettingsBackend::toWindows1252(const QString& text) {
    std::string out;
    out.reserve(std::size_t(text.size()));
    for (const QChar ch : text) {
        const char16_t code = ch.unicode();
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            out.push_back(static_cast<char>(code));
            continue;
        }
        char mapped = '?';
        for (std::size_t i = 0; i < kHighControls.size(); ++i) {
            if (kHighControls[i] == code) {
                mapped = static_cast<char>(0x80 + i);
                break;
            }
        }
        out.push_back(mapped);
    }
    return out;
}

std::optional<std::string> QtSettingsBackend::read(const std::string& key) const {
    m_settings.sync();
    const QVariant value = m_settings.value(groupKey(key));
    if (!value.isValid()) {
        return std::nullopt;
    }
    // A value edited by hand with commas in it comes back from the INI reader as a list.
    if (value.typeId() == QMetaType::QStringList) {
        return toWindows1252(value.toStringList().join(QLatin1Char(',')));
    }
    return toWindows1252(value.toString());
}

void QtSettingsBackend::write(const std::string& key, const std::string& value) {
    m_settings.setValue(groupKey(key), fromWindows1252(value));
    m_settings.sync();
}

bool QtSettingsBackend::remove(const std::string& key) {
    m_settings.sync();
    const QString name = groupKey(key);
    if (!m_settings.contains(name)) {
        return false;
    }
    m_settings.remove(name);
    m_settings.sync();
    return true;
}

bool QtSettingsBackend::removeSection() {
    m_settings.sync();
    m_settings.beginGroup(kGroup);
    const bool any = !m_settings.childKeys().isEmpty() || !m_settings.childGroups().isEmpty();
    m_settings.endGroup();
    if (!any) {
        return false;
    }
    m_settings.remove(kGroup);
    m_settings.sync();
    return true;
}

}  // namespace squadlink
