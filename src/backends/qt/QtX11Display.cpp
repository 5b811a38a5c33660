#include "backends/qt/QtX11Display.h"

#include <QGuiApplication>

namespace squadlink {

_XDisplay* qtX11Display() {
    const auto* x11 = qGuiApp == nullptr
                          ? nullptr
                          : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 == nullptr ? nullptr : x11->display();
}

}  // namespace squadlink
