#pragma once

#include <string>
#include <vector>

#include "core/ChatDocument.h"

namespace squadlink {

// A chat view kept in memory, for a copy without a window (and for tests): it holds the runs
// exactly as composed and lays the text out on a fixed grid of character cells.
class MemoryChatDocument : public ChatDocument {
public:
    struct Run {
        enum class Kind { Text, LineBreak, Picture } kind = Kind::Text;
        std::string text;
        Rgb colour;
        bool link = false;
        int picture = 0;
    };
    static constexpr int kCellWidth = 8;
    static constexpr int kLineHeight = 15;

    void clear() override { runs.clear(); }
    void appendText(std::string_view text, Rgb colour, bool link) override;
    void appendLineBreak() override { runs.push_back({Run::Kind::LineBreak, {}, {}, false, 0}); }
    void appendPicture(int resourceId) override {
        runs.push_back({Run::Kind::Picture, {}, {}, false, resourceId});
    }
    std::size_t pictureSize(int resourceId) const override;
    int viewHeight() const override { return height; }
    int lineHeight() const override { return kLineHeight; }
    void prependLineBreaks(int count) override {
        runs.insert(runs.begin(), static_cast<std::size_t>(count),
                    Run{Run::Kind::LineBreak, {}, {}, false, 0});
    }
    int characterIndexAt(int x, int y) const override;
    std::string plainText() const override;
    std::string selectedText() const override { return selection; }
    void collapseSelectionToEnd() override { selection.clear(); }
    void setHandPointer(bool hand) override { handPointer = hand; }

    // The text with every picture as "{n}" and line breaks as "\n", for reading in tests.
    std::string shown() const;

    std::vector<Run> runs;
    // -1: not laid out yet.
    int height = 307;
    std::string selection;
    bool handPointer = false;

private:
    // Pictures as one blank, as the view's own text has them, or as "{n}".
    std::string render(bool pictureIds) const;
};

}  // namespace squadlink
