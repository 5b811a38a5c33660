#include "chat/ClipboardSteps.h"

#include "platform/RuntimeError.h"

namespace squadlink {

namespace {
constexpr int kRetryCancelWarning = 5 + 48;
constexpr int kRetry = 4;
}  // namespace

bool ClipboardSteps::askingStep(const std::function<void()>& step) {
    while (true) {
        try {
            step();
            return true;
        } catch (const RuntimeError& error) {
            if (error.number() != err::ClipboardCannotOpen &&
                error.number() != err::ClipboardCannotEmpty) {
                throw;
            }
            if (m_ctx.messages.ShowMessage("Windows Clipboard was not available",
                                           kRetryCancelWarning, "Warning") != kRetry) {
                return false;
            }
        }
    }
}

bool ClipboardSteps::copyAsking(const std::string& text) {
    Clipboard& board = m_ctx.platform.clipboard;
    if (!askingStep([&] { board.setText({}); })) {
        return false;
    }
    m_ctx.platform.pump.doEvents();
    if (!askingStep([&] { board.setText(text); })) {
        return false;
    }
    m_ctx.platform.pump.doEvents();
    return true;
}

}  // namespace squadlink
