#include "backends/qt/QtFileDialog.h"

#include <QFileDialog>
#include <QStringList>

#include "backends/qt/Cp1252.h"

namespace squadlink {

std::string QtFileDialog::openFile(const std::string& title, const std::string& description,
                                   const std::vector<std::string>& patterns) {
    QStringList names;
    for (const std::string& pattern : patterns) {
        names << Cp1252::toUnicode(pattern);
    }
    const QString filter =
        QStringLiteral("%1 (%2)").arg(Cp1252::toUnicode(description), names.join(QLatin1Char(' ')));
    // QFileDialog::getOpenFileName only offers files that exist.
    const QString chosen = QFileDialog::getOpenFileName(
        m_owner, Cp1252::toUnicode(title), QString(), filter, nullptr, QFileDialog::ReadOnly);
    return Cp1252::fromUnicode(chosen);
}

}  // namespace squadlink
