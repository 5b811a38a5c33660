#include "gameserver/PathLabel.h"

namespace squadlink {

namespace {
constexpr char kSeparator = '/';
// The first separator looked at is the 4th character or later, so that a leading "/" or a
// drive such as "c:/" stays whole.
constexpr std::size_t kFirstCut = 3;
}  // namespace

std::string ShortenPathForLabel(std::string_view path, int labelWidth, int margin, std::size_t tail,
                                const TextMetrics& metrics) {
    std::string text(path);
    const int room = labelWidth - margin;
    if (room < metrics.textWidth(text) && text.size() > tail) {
        const auto first = text.find(kSeparator, kFirstCut);
        const auto last = text.rfind(kSeparator, text.size() - tail - 1);
        if (first != std::string::npos && last != std::string::npos && last > first) {
            text = text.substr(0, first + 1) + "..." + text.substr(last);
        }
        if (room < metrics.textWidth(text) && text.size() > tail) {
            text = text.substr(0, 3) + "..." + text.substr(text.size() - tail);
        }
    }
    return text;
}

}  // namespace squadlink
