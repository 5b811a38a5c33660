#include "backends/qt/QtSettingsBackend.h"

#include <QStringList>
#include <QVariant>

#include "backends/qt/Cp1252.h"

namespace squadlink {

namespace {

const QString kGroup = QStringLiteral("Settings");

QString groupKey(const std::string& key) {
    return kGroup + QLatin1Char('/') + QString::fromLatin1(key.data(), qsizetype(key.size()));
}

}  // namespace

QtSettingsBackend::QtSettingsBackend()
    : m_settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Squadlink"),
                 QStringLiteral("Squadlink")) {
}

std::optional<std::string> QtSettingsBackend::read(const std::string& key) const {
    m_settings.sync();
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
