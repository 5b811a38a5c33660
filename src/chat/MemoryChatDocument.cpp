#include "chat/MemoryChatDocument.h"

namespace squadlink {

void MemoryChatDocument::appendText(std::string_view text, Rgb colour, bool link) {
    std::string shownText(text);
    for (char& c : shownText) {
        if (static_cast<unsigned char>(c) < 32 && c != '\t') {
            c = ' ';
        }
    }
    runs.push_back({Run::Kind::Text, std::move(shownText), colour, link, 0});
}

std::size_t MemoryChatDocument::pictureSize(int resourceId) const {
    (void)resourceId;
    return 600;
}

std::string MemoryChatDocument::render(bool pictureIds) const {
    std::string text;
    for (const Run& run : runs) {
        switch (run.kind) {
            case Run::Kind::Text:
                text += run.text;
                break;
            case Run::Kind::LineBreak:
                text += '\n';
                break;
            case Run::Kind::Picture:
                text += pictureIds ? "{" + std::to_string(run.picture) + "}" : " ";
                break;
        }
    }
    return text;
}

std::string MemoryChatDocument::plainText() const {
    return render(false);
}

std::string MemoryChatDocument::shown() const {
    return render(true);
}

int MemoryChatDocument::characterIndexAt(int x, int y) const {
    if (x < 0 || y < 0) {
        return -1;
    }
    const std::string text = plainText();
    const int line = y / kLineHeight;
    const int column = x / kCellWidth;
    int index = 0;
    int currentLine = 0;
    while (currentLine < line) {
        const std::size_t end = text.find('\n', static_cast<std::size_t>(index));
        if (end == std::string::npos) {
            return static_cast<int>(text.size());
        }
        index = static_cast<int>(end) + 1;
        ++currentLine;
    }
    std::size_t lineEnd = text.find('\n', static_cast<std::size_t>(index));
    if (lineEnd == std::string::npos) {
        lineEnd = text.size();
    }
    const int length = static_cast<int>(lineEnd) - index;
    return index + (column < length ? column : length);
}

}  // namespace squadlink
