#include "backends/qt/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "backends/qt/Cp1252.h"
#include "platform/RuntimeError.h"

namespace squadlink {

namespace {
QClipboard& clipboard() {
    QClipboard* board = QGuiApplication::clipboard();
    if (board == nullptr) {
        throw RuntimeError(err::ClipboardCannotOpen, "Can't open Clipboard");
    }
    return *board;
}
}  // namespace

std::string QtClipboard::text() const {
    return Cp1252::fromUnicode(clipboard().text());
}

void QtClipboard::setText(const std::string& text) {
    clipboard().setText(Cp1252::toUnicode(text));
}

}  // namespace squadlink
