#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>
#include <string>

#include "platform/UrlSchemeRegistry.h"

namespace squadlink {

// "sqd" links on freedesktop.org desktops: a hidden desktop entry of its own in the user's
// applications folder (never "squadlink.desktop", the launcher an install puts in the menu) that
// handles x-scheme-handler/sqd, made the default handler in the user's mimeapps.list and through
// xdg-mime. The current handler is read from the association lists themselves, so that a start-up
// that finds itself registered runs no helper. Paths are in the file system's encoding (UTF-8).
class XdgUrlSchemeRegistry : public UrlSchemeRegistry {
public:
    static constexpr const char* kDesktopFile = "squadlink-sqd-handler.desktop";
    // The installed menu launcher: left alone, only an sqd association naming it is removed.
    static constexpr const char* kLauncherFile = "squadlink.desktop";
    static constexpr const char* kMimeType = "x-scheme-handler/sqd";

    // `xdgMime` is the helper program to run; tests point it at one that does not exist.
    explicit XdgUrlSchemeRegistry(QString xdgMime = QStringLiteral("xdg-mime"))
        : m_xdgMime(std::move(xdgMime)) {}
    // Gives a helper still running a moment to finish.
    ~XdgUrlSchemeRegistry() override;
    XdgUrlSchemeRegistry(const XdgUrlSchemeRegistry&) = delete;
    XdgUrlSchemeRegistry& operator=(const XdgUrlSchemeRegistry&) = delete;

    std::string currentCommand() const override;
    void registerHandler(const std::string& executablePath) override;
    // Deletes the desktop entry and takes it out of the user's mimeapps.list; true when
    // neither is left afterwards.
    bool unregisterHandler() override;

    // The user's applications folder and the desktop entry written there.
    static QString applicationsDir();
    static QString desktopFilePath();
    static QString mimeAppsListPath();

    // The Exec value for a program and the program a given Exec value starts.
    static QString execLine(const QString& executable);
    static QString programOfExec(const QString& exec);

private:
    QString findDesktopFile(const QString& desktopId) const;
    // Lets a helper still running finish (killing it after a few seconds).
    void waitForHelper();
    static QString defaultFromMimeApps();
    static bool writeMimeAppsDefault();
    static bool removeFromMimeApps();

    QString m_xdgMime;
    std::unique_ptr<QProcess> m_helper;
};

}  // namespace squadlink
