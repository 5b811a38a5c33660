#include "backends/qt/QtDesktop.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStringList>
#include <QUrl>

#include "backends/qt/Cp1252.h"

namespace squadlink {

bool QtDesktop::openUrl(const std::string& url) {
    const QUrl parsed(Cp1252::toUnicode(url), QUrl::TolerantMode);
    return parsed.isValid() && QDesktopServices::openUrl(parsed);
}

bool QtDesktop::openFile(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(Cp1252::toUnicode(path)));
}

bool QtDesktop::startProgram(const std::string& program, const std::vector<std::string>& arguments,
                             const std::string& workingFolder) {
    QStringList list;
    for (const std::string& argument : arguments) {
        list << Cp1252::toUnicode(argument);
    }
    return QProcess::startDetached(Cp1252::toUnicode(program), list,
                                   Cp1252::toUnicode(workingFolder));
}

}  // namespace squadlink
