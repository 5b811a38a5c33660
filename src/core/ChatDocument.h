#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace squadlink {

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The chat view's surface: styled runs appended at the end, never markup. The chat logic
// composes every line through it; the window implements it on a real text document.
class ChatDocument {
public:
    virtual ~ChatDocument() = default;

    // Brackets the runs of one line, so that the view lays out and scrolls once per line.
    // Calls nest.
    virtual void beginLine() {}
    virtual void endLine() {}

    virtual void clear() = 0;
    // Windows-1252 text of one line piece, shown literally (bold, in the given colour, in link
    // style when asked). A character below 32 other than the tab is shown as a blank.
    virtual void appendText(std::string_view text, Rgb colour, bool link) = 0;
    virtual void appendLineBreak() = 0;
    // One smiley picture, by its resource number.
    virtual void appendPicture(int resourceId) = 0;
    // What a picture adds to the view's content measure (its encoded data).
    virtual std::size_t pictureSize(int resourceId) const = 0;

    // Pixel height of the visible area and of one line of the view's font. A view the window
    // has not laid out yet has no height (-1): the padding of a cleared view waits for it.
    virtual int viewHeight() const = 0;
    virtual int lineHeight() const = 0;
    // Empty lines before everything else: that late padding.
    virtual void prependLineBreaks(int count) = 0;

    // Hit-testing and selection: the character index (from 0) at a point in pixels, -1 when
    // none; the whole text with a LF between lines and a blank for each picture.
    virtual int characterIndexAt(int x, int y) const = 0;
    virtual std::string plainText() const = 0;
    virtual std::string selectedText() const = 0;
    // Caret to the end of the former selection, nothing selected.
    virtual void collapseSelectionToEnd() = 0;
    virtual void setHandPointer(bool hand) = 0;
};

}  // namespace squadlink
