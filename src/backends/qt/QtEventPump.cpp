#include "backends/qt/QtEventPump.h"

#include <QCoreApplication>

namespace squadlink {

void QtEventPump::doEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace squadlink
