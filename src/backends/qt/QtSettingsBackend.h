#pragma once

#include <QSettings>
#include <QString>
#include <optional>
#include <string>

#include "platform/SettingsBackend.h"

namespace squadlink {

// The per-user store in the desktop's native settings format, under organisation and
// application "Squadlink", group "Settings". Values are always text; the logic's
// Windows-1252 bytes are stored as the Unicode text they stand for.
class QtSettingsBackend : public SettingsBackend {
public:
    QtSettingsBackend();

    std::optional<std::string> read(const std::string& key) const override;
    void write(const std::string& key, const std::string& value) override;
    bool remove(const std::string& key) override;
    bool removeSection() override;

    // Where the store lives, for diagnostics and tests.
    QString fileName() const { return m_settings.fileName(); }

private:
    // Reads pick up what another copy of the program wrote in the meantime, so the
    // hand-over of a link through "Temp" works across processes.
    mutable QSettings m_settings;
};

}  // namespace squadlink
