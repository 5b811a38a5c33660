#pragma once

#include <QCursor>
#include <QHash>
#include <QTextCursor>
#include <QTextEdit>
#include <cstddef>
#include <string>

#include "core/ChatDocument.h"

namespace squadlink {

// The chat view's document on a Qt text view: every run inserted through a text cursor as
// literal text with its character format, pictures as document resources of their own.
class QtChatDocument : public ChatDocument {
public:
    explicit QtChatDocument(QTextEdit& view);

    void beginLine() override;
    void endLine() override;
    void clear() override;
    void appendText(std::string_view text, Rgb colour, bool link) override;
    void appendLineBreak() override;
    void appendPicture(int resourceId) override;
    std::size_t pictureSize(int resourceId) const override;
    int viewHeight() const override;
    int lineHeight() const override;
    int characterIndexAt(int x, int y) const override;
    std::string plainText() const override;
    std::string selectedText() const override;
    void collapseSelectionToEnd() override;
    void setHandPointer(bool hand) override;

private:
    bool atEnd() const;

    QTextEdit& m_view;
    QTextCursor m_end;
    QCursor m_hand;
    QHash<int, bool> m_loadedPictures;
    int m_lineDepth = 0;
    bool m_wasAtEnd = false;
    mutable QHash<int, std::size_t> m_pictureSizes;
    mutable std::string m_plainCache;
    mutable bool m_plainValid = false;
};

}  // namespace squadlink
