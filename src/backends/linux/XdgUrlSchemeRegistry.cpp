#include "backends/linux/XdgUrlSchemeRegistry.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QTextStream>

namespace squadlink {

namespace {

constexpr int kHelperTimeoutMs = 5000;
const QString kDefaultGroup = QStringLiteral("Default Applications");

QString homeDir() {
    return qEnvironmentVariable("HOME", QDir::homePath());
}

// An XDG base directory; a relative value is to be ignored as if it were not set.
QString baseDir(const char* variable, const QString& fallbackUnderHome) {
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value)) {
        return value;
    }
    return homeDir() + fallbackUnderHome;
}

QStringList dirList(const char* variable, const QString& fallback) {
    QString value = qEnvironmentVariable(variable);
    if (value.isEmpty()) {
        value = fallback;
    }
    QStringList dirs;
    for (const QString& dir : value.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(dir)) {
            dirs.append(dir);
        }
    }
    return dirs;
}

QString dataHome() {
    return baseDir("XDG_DATA_HOME", QStringLiteral("/.local/share"));
}
QString configHome() {
    return baseDir("XDG_CONFIG_HOME", QStringLiteral("/.config"));
}

QStringList readLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return {};
    }
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
}

bool isGroupHeader(const QString& line) {
    return line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'));
}

// The raw value of `key` in `[group]` of a desktop-entry style file; null when absent.
QString readValue(const QString& path, const QString& group, const QString& key) {
    bool inGroup = false;
    for (const QString& raw : readLines(path)) {
        const QString line = raw.trimmed();
        if (isGroupHeader(line)) {
            inGroup = line.mid(1, line.size() - 2) == group;
            continue;
        }
        if (!inGroup || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals > 0 && line.left(equals).trimmed() == key) {
            return line.mid(equals + 1).trimmed();
        }
    }
    return {};
}

bool writeFile(const QString& path, const QString& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write(content.toUtf8());
    return file.commit();
}

// The string escapes of desktop-entry values.
QString unescapeString(const QString& value) {
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 >= value.size()) {
            out.append(c);
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
            case u's':
                out.append(QLatin1Char(' '));
                break;
            case u'n':
                out.append(QLatin1Char('\n'));
                break;
            case u't':
                out.append(QLatin1Char('\t'));
                break;
            case u'r':
                out.append(QLatin1Char('\r'));
                break;
            default:
                out.append(next);
                break;
        }
    }
    return out;
}

QString escapeString(const QString& value) {
    QString out = value;
    out.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    out.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    out.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
    out.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    return out;
}

}  // namespace

QString XdgUrlSchemeRegistry::applicationsDir() {
    return dataHome() + QStringLiteral("/applications");
}

QString XdgUrlSchemeRegistry::desktopFilePath() {
    return applicationsDir() + QLatin1Char('/') + QLatin1String(kDesktopFile);
}

QString XdgUrlSchemeRegistry::mimeAppsListPath() {
    return configHome() + QStringLiteral("/mimeapps.list");
}

QString XdgUrlSchemeRegistry::execLine(const QString& executable) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = false;
    for (const QChar c : executable) {
        needsQuotes = needsQuotes || reserved.contains(c);
    }
    QString argument = executable;
    if (needsQuotes) {
        QString quoted = QStringLiteral("\"");
        for (const QChar c : executable) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                c == QLatin1Char('\\')) {
                quoted.append(QLatin1Char('\\'));
            }
            quoted.append(c);
        }
        quoted.append(QLatin1Char('"'));
        argument = quoted;
    }
    argument.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return escapeString(argument + QStringLiteral(" %u"));
}

QString XdgUrlSchemeRegistry::programOfExec(const QString& exec) {
    const QString value = unescapeString(exec).trimmed();
    QString program;
    if (value.startsWith(QLatin1Char('"'))) {
        for (qsizetype i = 1; i < value.size(); ++i) {
            const QChar c = value.at(i);
            if (c == QLatin1Char('\\') && i + 1 < value.size()) {
                program.append(value.at(++i));
            } else if (c == QLatin1Char('"')) {
                break;
            } else {
                program.append(c);
            }
        }
    } else {
        for (const QChar c : value) {
            if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
                break;
            }
            program.append(c);
        }
    }
    program.replace(QStringLiteral("%%"), QStringLiteral("%"));
    return program;
}

QString XdgUrlSchemeRegistry::findDesktopFile(const QString& desktopId) const {
    if (desktopId.isEmpty() || desktopId.contains(QLatin1Char('/'))) {
        return {};
    }
    QStringList dirs{dataHome()};
    dirs += dirList("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
    for (const QString& dir : dirs) {
        const QString path = dir + QStringLiteral("/applications/") + desktopId;
        if (QFileInfo::exists(path)) {
            return path;
        }
    }
    return {};
}

QString XdgUrlSchemeRegistry::defaultFromMimeApps() {
    // The lookup order of the freedesktop.org MIME applications associations: the desktop's own
    // list before the common one in each folder, the user's folders before the system's.
    QStringList desktops;
    for (const QString& desktop :
         qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        desktops.append(desktop.toLower());
    }
    QStringList folders{configHome()};
    folders += dirList("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
    folders.append(applicationsDir());
    for (const QString& dir :
         dirList("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"))) {
        folders.append(dir + QStringLiteral("/applications"));
    }
    for (const QString& folder : folders) {
        QStringList lists;
        for (const QString& desktop : desktops) {
            lists.append(folder + QLatin1Char('/') + desktop + QStringLiteral("-mimeapps.list"));
        }
        lists.append(folder + QStringLiteral("/mimeapps.list"));
        for (const QString& list : lists) {
            const QString value = readValue(list, kDefaultGroup, QLatin1String(kMimeType));
            for (const QString& id : value.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
                if (!id.trimmed().isEmpty()) {
                    return id.trimmed();
                }
            }
        }
    }
    return {};
}

std::string XdgUrlSchemeRegistry::currentCommand() const {
    const QString file = findDesktopFile(defaultFromMimeApps());
    if (file.isEmpty()) {
        return {};
    }
    const QString exec = readValue(file, QStringLiteral("Desktop Entry"), QStringLiteral("Exec"));
    if (exec.isEmpty()) {
        return {};
    }
    return QFile::encodeName(programOfExec(exec)).toStdString();
}

bool XdgUrlSchemeRegistry::writeMimeAppsDefault() {
    const QString path = mimeAppsListPath();
    QStringList lines = readLines(path);
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty()) {
        lines.removeLast();
    }
    const QString entry = QLatin1String(kMimeType) + QLatin1Char('=') +
                          QLatin1String(kDesktopFile) + QLatin1Char(';');
    qsizetype groupLine = -1;
    bool inGroup = false;
    bool replaced = false;
    for (qsizetype i = 0; i < lines.size() && !replaced; ++i) {
        const QString line = lines.at(i).trimmed();
        if (isGroupHeader(line)) {
            inGroup = line.mid(1, line.size() - 2) == kDefaultGroup;
            if (inGroup && groupLine < 0) {
                groupLine = i;
            }
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inGroup && equals > 0 && line.left(equals).trimmed() == QLatin1String(kMimeType)) {
            lines[i] = entry;
            replaced = true;
        }
    }
    if (!replaced) {
        if (groupLine >= 0) {
            lines.insert(groupLine + 1, entry);
        } else {
            if (!lines.isEmpty()) {
                lines.append(QString());
            }
            lines.append(QLatin1Char('[') + kDefaultGroup + QLatin1Char(']'));
            lines.append(entry);
        }
    }
    return writeFile(path, lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

bool XdgUrlSchemeRegistry::removeFromMimeApps() {
    const QString path = mimeAppsListPath();
    if (!QFileInfo::exists(path)) {
        return true;
    }
    QStringList lines = readLines(path);
    bool changed = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0 || line.left(equals).trimmed() != QLatin1String(kMimeType)) {
            continue;
        }
        QStringList ids = line.mid(equals + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        if (ids.removeAll(QLatin1String(kDesktopFile)) +
                ids.removeAll(QLatin1String(kLauncherFile)) ==
            0) {
            continue;
        }
        changed = true;
        if (ids.isEmpty()) {
            lines.removeAt(i--);
        } else {
            lines[i] = QLatin1String(kMimeType) + QLatin1Char('=') + ids.join(QLatin1Char(';')) +
                       QLatin1Char(';');
        }
    }
    if (!changed) {
        return true;
    }
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty()) {
        lines.removeLast();
    }
    return writeFile(path, lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

void XdgUrlSchemeRegistry::waitForHelper() {
    if (m_helper != nullptr && m_helper->state() != QProcess::NotRunning &&
        !m_helper->waitForFinished(kHelperTimeoutMs)) {
        m_helper->kill();
        m_helper->waitForFinished(kHelperTimeoutMs);
    }
    m_helper.reset();
}

bool XdgUrlSchemeRegistry::unregisterHandler() {
    // A helper still at work would put the association back.
    waitForHelper();
    const QString entry = desktopFilePath();
    if (QFileInfo::exists(entry) && !QFile::remove(entry)) {
        return false;
    }
    return removeFromMimeApps();
}

void XdgUrlSchemeRegistry::registerHandler(const std::string& executablePath) {
    const QString executable = QFile::decodeName(QByteArray::fromStdString(executablePath));
    if (!QDir::isAbsolutePath(executable)) {
        return;
    }
    const QString entry = QStringLiteral(
                              "[Desktop Entry]\n"
                              "Type=Application\n"
                              "Name=Squadlink\n"
                              "Comment=Connect to this Squadlink server\n"
                              "Exec=%1\n"
                              "Icon=squadlink\n"
                              "Terminal=false\n"
                              "Categories=Game;Network;\n"
                              "NoDisplay=true\n"
                              "MimeType=%2;\n")
                              .arg(execLine(executable), QLatin1String(kMimeType));
    if (!writeFile(desktopFilePath(), entry) || !writeMimeAppsDefault()) {
        return;
    }
    // The association is in place; the helper also tells desktops that keep their own
    // database. It runs alongside, so that the window never waits for it.
    waitForHelper();
    m_helper = std::make_unique<QProcess>();
    m_helper->setProgram(m_xdgMime);
    m_helper->setArguments(
        {QStringLiteral("default"), QLatin1String(kDesktopFile), QLatin1String(kMimeType)});
    m_helper->setStandardOutputFile(QProcess::nullDevice());
    m_helper->setStandardErrorFile(QProcess::nullDevice());
    m_helper->start(QIODevice::NotOpen);
}

XdgUrlSchemeRegistry::~XdgUrlSchemeRegistry() {
    waitForHelper();
}

}  // namespace squadlink
