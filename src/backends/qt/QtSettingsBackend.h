#pragma once

#include <QObject>
#include <QSettings>
#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "platform/SettingsBackend.h"

namespace squadlink {

// The per-user store in the desktop's native settings format, under organisation and
// application "Squadlink", group "Settings". Values are always text; the logic's
// Windows-1252 bytes are stored as the Unicode text they stand for.
//
// Changes are gathered and written once the event loop next runs (or on flush and at the
// end): each write of the file replaces it safely, syncing it to disk, and start-up alone
// changes half a dozen values.
class QtSettingsBackend : public SettingsBackend {
public:
    QtSettingsBackend();
    ~QtSettingsBackend() override;
    QtSettingsBackend(const QtSettingsBackend&) = delete;
    QtSettingsBackend& operator=(const QtSettingsBackend&) = delete;

    std::optional<std::string> read(const std::string& key) const override;
    void write(const std::string& key, const std::string& value) override;
    bool remove(const std::string& key) override;
    bool removeSection() override;
    void flush() override;

    // Where the store lives, for diagnostics and tests.
    QString fileName() const { return m_settings.fileName(); }
    // True while changes wait to be written.
    bool pending() const { return m_pending; }
    // Start-up: changes wait (unless flushed) until release, so that writing and syncing the
    // file to disk does not hold up the first frame. Nothing is lost: the store still writes
    // them when it ends.
    void holdWrites();
    void releaseWrites();

private:
    void changed();
    void scheduleFlush();
    // Picks up what another copy of the program (or a hand edit) wrote in the meantime: the
    // hand-over of a link through "Temp" works across processes. The file is read again, and
    // any changes of our own waiting merged into it, only when someone else has changed it.
    void refresh() const;
    void sync() const;
    // Size and time of the file as we last wrote or read it.
    QString fileStamp() const;

    mutable QSettings m_settings;
    mutable QString m_stamp;
    mutable bool m_pending = false;
    bool m_held = false;
    QObject m_timerOwner;
    class HoldFilter;
    std::unique_ptr<HoldFilter> m_holdFilter;
};

}  // namespace squadlink
