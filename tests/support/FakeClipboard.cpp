#include "support/FakeClipboard.h"

#include "platform/RuntimeError.h"

namespace squadlink {

std::string FakeClipboard::text() const {
    if (busyCalls > 0) {
        --busyCalls;
        throw RuntimeError(err::ClipboardCannotOpen, "Can't open Clipboard");
    }
    return content;
}

void FakeClipboard::setText(const std::string& text) {
    if (busyCalls > 0) {
        --busyCalls;
        throw RuntimeError(err::ClipboardCannotOpen, "Can't open Clipboard");
    }
    content = text;
    ++writes;
}

}  // namespace squadlink
