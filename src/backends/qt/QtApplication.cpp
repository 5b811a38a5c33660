#include "backends/qt/QtApplication.h"

#include <QCoreApplication>

namespace squadlink {

void QtApplication::quit() {
    m_quitRequested = true;
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::exit(0);
    }
}

}  // namespace squadlink
