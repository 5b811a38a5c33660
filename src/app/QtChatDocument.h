#pragma once

#include <QCursor>
#include <QHash>
#include <QPointer>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <QVariant>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ChatBrowser.h"
#include "core/ChatDocument.h"

namespace squadlink {

// The chat view's document on a Qt text view: every run inserted through a text cursor as
// literal text with its character format, pictures as document resources of their own. The
// chat is written from the start; the view that shows it is made with its page, the first time
// the page is shown. Until then (or until its text is read) the runs are only noted: a Qt text
// document and its layout cost the first frame, which does not show the chat, a millisecond.
class QtChatDocument : public ChatDocument {
public:
    QtChatDocument();
    ~QtChatDocument() override;
    QtChatDocument(const QtChatDocument&) = delete;
    QtChatDocument& operator=(const QtChatDocument&) = delete;

    // The view shows this document from now on.
    void attach(ChatBrowser& view);
    // Scrolls the view to the last line, as a view that was there all along would stand.
    void showEnd();

    void beginLine() override;
    void endLine() override;
    void clear() override;
    void appendText(std::string_view text, Rgb colour, bool link) override;
    void appendLineBreak() override;
    void appendPicture(int resourceId) override;
    std::size_t pictureSize(int resourceId) const override;
    int viewHeight() const override;
    int lineHeight() const override;
    void prependLineBreaks(int count) override;
    int characterIndexAt(int x, int y) const override;
    std::string plainText() const override;
    std::string selectedText() const override;
    void collapseSelectionToEnd() override;
    void setHandPointer(bool hand) override;

    // A picture the document names, read when the view first lays it out; null for any other
    // name.
    static QVariant pictureResource(const QUrl& name);

private:
    // A run noted while no Qt document exists yet.
    struct Run {
        enum class Kind { Text, LineBreak, Picture, LeadingBreaks } kind;
        QString text;
        Rgb colour;
        bool link = false;
        int number = 0;  // the picture, or how many line breaks lead
    };

    bool atEnd() const;
    // The Qt document, made now with every noted run if it does not exist yet.
    QTextDocument& document() const;

    mutable std::unique_ptr<QTextDocument> m_document;
    mutable std::vector<Run> m_runs;
    QPointer<ChatBrowser> m_view;
    mutable QTextCursor m_end;
    // Made the first time the pointer is over a link.
    std::optional<QCursor> m_hand;
    QHash<int, bool> m_knownPictures;
    int m_lineDepth = 0;
    bool m_wasAtEnd = false;
    mutable QHash<int, std::size_t> m_pictureSizes;
    mutable std::string m_plainCache;
    mutable bool m_plainValid = false;
};

}  // namespace squadlink
