// Feeds arbitrary received chat to the chat view and checks that peer text only ever becomes
// literal text on a line of its own.
//
// Input layout:
//   byte 0  what arrives: bits 0-1  0 an ordinary line, 1 an action, 2 a reflex score,
//                                   3 a persons list
//           bit 2   the smiley set "Crazy yellow" instead of the default
//           bits 3-7  times the payload is shown (1 to 32), to reach the automatic clear
//   byte 1  a character index for the word rule of the link actions
//   then    the payload as the link hands it on (nick, NUL, text, NUL; or the persons list)

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "chat/LinkActions.h"
#include "chat/MemoryChatDocument.h"
#include "chat/RichChatView.h"
#include "support/FakeServices.h"
#include "support/FakeSocket.h"

using namespace squadlink;

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::size_t lineBreaks(const MemoryChatDocument& document) {
    std::size_t count = 0;
    for (const auto& run : document.runs) {
        count += run.kind == MemoryChatDocument::Run::Kind::LineBreak ? 1 : 0;
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const std::uint8_t setup = data[0];
    const int index = data[1];
    const std::string payload(reinterpret_cast<const char*>(data + 2), size - 2);

    WindowModel ui;
    FormState state;
    FakeClock clock;
    FakeAttention attention;
    FakeSocket socket;
    MemoryChatDocument document;
    document.height = 0;
    if ((setup & 4) != 0) {
        ui.oSmiley1.setValue(true);
    }
    RichChatView view(RichChatView::Services{ui, state, clock, attention, socket}, document);
    const int kind = setup & 3;
    const int times = 1 + (setup >> 3);
    for (int i = 0; i < times; ++i) {
        const std::size_t before = lineBreaks(document);
        if (kind == 3) {
            view.ShowChattersList(payload);
            // A persons list is one notice: two lines of heading and at most eleven persons.
            check(lineBreaks(document) <= before + 13);
        } else {
            const auto lineKind = kind == 0   ? ChatLineKind::Normal
                                  : kind == 1 ? ChatLineKind::Action
                                              : ChatLineKind::ReflexScore;
            view.ShowReceivedChat(payload, lineKind);
            // One received line is one line, unless it was the one that cleared the view.
            check(lineBreaks(document) <= before + 1 || document.runs.size() < 30);
        }
        check(view.richSize() <= RichChatView::kAutoClearSize + 1400 * size + 4096);
    }
    for (const auto& run : document.runs) {
        for (const char c : run.text) {
            check(static_cast<unsigned char>(c) >= 32 || c == '\t');
        }
        if (run.kind == MemoryChatDocument::Run::Kind::Picture) {
            const int base = (setup & 4) != 0 ? 300 : 400;
            check(run.picture > base && run.picture <= base + 12);
        }
    }
    const std::string text = document.plainText();
    const std::string word = LinkActions::wordAt(text, index);
    check(word.empty() || word.size() >= 7);
    return 0;
}
