#include "QtChatDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QImage>
#include <QLayout>
#include <QPixmap>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextLayout>
#include <QUrl>
#include <utility>
#include <vector>

#include "WindowParts.h"
#include "backends/qt/Cp1252.h"

namespace squadlink {

namespace {

QString picturePath(int resourceId) {
    return QStringLiteral(":/smileys/%1.png").arg(resourceId);
}

QUrl pictureName(int resourceId) {
    return QUrl(QStringLiteral("smiley:%1").arg(resourceId));
}

QCursor handCursor() {
    const QPixmap picture = QPixmap::fromImage(ownPicture(QStringLiteral(":/cursors/hand.png")));
    // The fingertip.
    return picture.isNull() ? QCursor(Qt::PointingHandCursor) : QCursor(picture, 10, 1);
}

// Reads only the program's own pictures, whichever view shows it.
class ChatText : public QTextDocument {
protected:
    QVariant loadResource(int type, const QUrl& name) override {
        return type == QTextDocument::ImageResource ? QtChatDocument::pictureResource(name)
                                                    : QVariant();
    }
};

void insertRun(QTextCursor& end, const QString& text, Rgb colour, bool link) {
    QTextCharFormat format;
    format.setForeground(QColor(colour.red, colour.green, colour.blue));
    format.setFontWeight(QFont::Bold);
    format.setFontUnderline(link);
    end.insertText(text, format);
}

void insertPicture(QTextCursor& end, int resourceId) {
    QTextImageFormat format;
    format.setName(pictureName(resourceId).toString());
    end.insertImage(format);
}

void insertLeadingBreaks(QTextDocument& document, int count) {
    QTextCursor start(&document);
    start.beginEditBlock();
    for (int i = 0; i < count; ++i) {
        start.insertBlock(QTextBlockFormat(), QTextCharFormat());
    }
    start.endEditBlock();
}

}  // namespace

QtChatDocument::QtChatDocument() = default;

QTextDocument& QtChatDocument::document() const {
    if (m_document == nullptr) {
        m_document = std::make_unique<ChatText>();
        m_document->setUndoRedoEnabled(false);
        m_end = QTextCursor(m_document.get());
        m_end.movePosition(QTextCursor::End);
        // The noted runs go in as one edit, laid out once.
        m_end.beginEditBlock();
        for (const Run& run : std::exchange(m_runs, {})) {
            switch (run.kind) {
                case Run::Kind::Text:
                    insertRun(m_end, run.text, run.colour, run.link);
                    break;
                case Run::Kind::LineBreak:
                    m_end.insertBlock();
                    break;
                case Run::Kind::Picture:
                    insertPicture(m_end, run.number);
                    break;
                case Run::Kind::LeadingBreaks:
                    insertLeadingBreaks(*m_document, run.number);
                    break;
            }
        }
        m_end.endEditBlock();
        // Made inside a line: the line's own edit block goes on until the line ends.
        if (m_lineDepth > 0) {
            m_end.beginEditBlock();
        }
    }
    return *m_document;
}

QtChatDocument::~QtChatDocument() {
    // The view goes with the window, after this document: it gets an empty one of its own.
    if (!m_view.isNull()) {
        m_view->setDocument(nullptr);
    }
}

void QtChatDocument::attach(ChatBrowser& view) {
    m_view = &view;
    view.setDocument(&document());
}

void QtChatDocument::showEnd() {
    if (m_view.isNull()) {
        return;
    }
    // Lays the whole chat out, so that the scroll range reaches its last line.
    (void)m_document->documentLayout()->documentSize();
    QScrollBar* bar = m_view->verticalScrollBar();
    bar->setValue(bar->maximum());
}

void QtChatDocument::prependLineBreaks(int count) {
    if (m_document == nullptr) {
        m_runs.push_back({Run::Kind::LeadingBreaks, {}, {}, false, count});
    } else {
        insertLeadingBreaks(*m_document, count);
    }
    m_plainValid = false;
}

void QtChatDocument::clear() {
    if (m_document == nullptr) {
        m_runs.clear();
        m_knownPictures.clear();
        m_wasAtEnd = true;
        m_plainValid = false;
        return;
    }
    // A clear inside a line closes the open edit block first and opens one on the new cursor.
    if (m_lineDepth > 0) {
        m_end.endEditBlock();
    }
    m_document->clear();
    m_knownPictures.clear();
    m_end = QTextCursor(m_document.get());
    if (m_lineDepth > 0) {
        m_end.beginEditBlock();
    }
    m_wasAtEnd = true;
    m_plainValid = false;
}

bool QtChatDocument::atEnd() const {
    if (m_view.isNull()) {
        return true;
    }
    const QScrollBar* bar = m_view->verticalScrollBar();
    return bar->value() >= bar->maximum() - 2;
}

void QtChatDocument::beginLine() {
    if (m_lineDepth++ == 0) {
        m_wasAtEnd = atEnd();
        // The document lays out once, when the line is complete.
        if (m_document != nullptr) {
            m_end.beginEditBlock();
        }
    }
}

void QtChatDocument::endLine() {
    if (--m_lineDepth > 0 || m_document == nullptr) {
        return;
    }
    m_end.endEditBlock();
    // Someone reading back through the chat is not pulled down by a new line.
    if (m_wasAtEnd && !m_view.isNull()) {
        QScrollBar* bar = m_view->verticalScrollBar();
        bar->setValue(bar->maximum());
    }
}

void QtChatDocument::appendText(std::string_view text, Rgb colour, bool link) {
    QString shown = Cp1252::toUnicode(text);
    for (QChar& c : shown) {
        // Text from peers is shown literally; no character of it may break or end a line.
        if ((c.unicode() < 32 && c != QLatin1Char('\t')) || c.unicode() == 0x2028 ||
            c.unicode() == 0x2029) {
            c = QLatin1Char(' ');
        }
    }
    if (m_document == nullptr) {
        m_runs.push_back({Run::Kind::Text, std::move(shown), colour, link, 0});
    } else {
        insertRun(m_end, shown, colour, link);
    }
    m_plainValid = false;
}

void QtChatDocument::appendLineBreak() {
    if (m_document == nullptr) {
        m_runs.push_back({Run::Kind::LineBreak, {}, {}, false, 0});
    } else {
        m_end.insertBlock();
    }
    m_plainValid = false;
}

void QtChatDocument::appendPicture(int resourceId) {
    // Only pictures the program has are shown; each is read when first laid out.
    auto known = m_knownPictures.find(resourceId);
    if (known == m_knownPictures.end()) {
        known = m_knownPictures.insert(resourceId, QFile::exists(picturePath(resourceId)));
    }
    if (!known.value()) {
        return;
    }
    if (m_document == nullptr) {
        m_runs.push_back({Run::Kind::Picture, {}, {}, false, resourceId});
    } else {
        insertPicture(m_end, resourceId);
    }
    m_plainValid = false;
}

QVariant QtChatDocument::pictureResource(const QUrl& name) {
    bool number = false;
    const int resourceId =
        name.scheme() == QLatin1String("smiley") ? name.path().toInt(&number) : 0;
    if (!number || pictureName(resourceId) != name || !QFile::exists(picturePath(resourceId))) {
        return {};
    }
    const QImage image = ownPicture(picturePath(resourceId));
    return image.isNull() ? QVariant() : QVariant(image);
}

std::size_t QtChatDocument::pictureSize(int resourceId) const {
    auto found = m_pictureSizes.find(resourceId);
    if (found == m_pictureSizes.end()) {
        const QFile file(picturePath(resourceId));
        found = m_pictureSizes.insert(resourceId, static_cast<std::size_t>(file.size()));
    }
    return found.value();
}

int QtChatDocument::viewHeight() const {
    if (m_view.isNull()) {
        return -1;
    }
    // The view may be hidden, or shown with its window and not laid out yet: a tab widget sizes
    // its pages only after they have been shown. So lay the chain from the window down to the
    // view out now, sizing the tab page as its tab widget will.
    std::vector<QWidget*> chain;
    for (QWidget* up = m_view->parentWidget(); up != nullptr; up = up->parentWidget()) {
        chain.insert(chain.begin(), up);
    }
    for (std::size_t i = 0; i < chain.size(); ++i) {
        if (QLayout* layout = chain[i]->layout()) {
            layout->activate();
        }
        auto* tabs = qobject_cast<QTabWidget*>(chain[i]);
        if (tabs != nullptr && i + 2 < chain.size()) {
            const int frame = 2 * tabs->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
            const QSize page(tabs->width() - frame,
                             tabs->height() - tabs->tabBar()->sizeHint().height() - frame);
            chain[i + 1]->resize(page);
            chain[i + 2]->resize(page);
        }
    }
    // The viewport itself follows only on the view's next resize event.
    return m_view->maximumViewportSize().height();
}

int QtChatDocument::lineHeight() const {
    // Without a view the document is the program's own, in the application's default font.
    QFont font = m_view.isNull() ? QFont() : m_view->font();
    font.setBold(true);
    return QFontMetrics(font).lineSpacing();
}

int QtChatDocument::characterIndexAt(int x, int y) const {
    if (m_view.isNull()) {
        return -1;
    }
    const QPoint point(x + m_view->horizontalScrollBar()->value(),
                       y + m_view->verticalScrollBar()->value());
    QTextDocument* shown = m_document.get();
    const int position = shown->documentLayout()->hitTest(point, Qt::FuzzyHit);
    if (position < 0) {
        return -1;
    }
    const QTextBlock block = shown->findBlock(position);
    const QTextLayout* layout = block.layout();
    if (layout == nullptr) {
        return position;
    }
    const QRectF blockRect = shown->documentLayout()->blockBoundingRect(block);
    const QPointF inBlock = QPointF(point) - blockRect.topLeft();
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        if (inBlock.y() >= line.y() && inBlock.y() < line.y() + line.height()) {
            // The character whose cell holds the point, not the nearest gap between two.
            return block.position() + line.xToCursor(inBlock.x(), QTextLine::CursorOnCharacter);
        }
    }
    return position;
}

std::string QtChatDocument::plainText() const {
    if (!m_plainValid) {
        QString text = document().toPlainText();
        text.replace(QChar(QChar::ObjectReplacementCharacter), QLatin1Char(' '));
        m_plainCache = Cp1252::fromUnicode(text);
        m_plainValid = true;
    }
    return m_plainCache;
}

std::string QtChatDocument::selectedText() const {
    if (m_view.isNull()) {
        return {};
    }
    QString text = m_view->textCursor().selectedText();
    text.replace(QChar(QChar::ParagraphSeparator), QStringLiteral("\r\n"));
    text.replace(QChar(QChar::ObjectReplacementCharacter), QLatin1Char(' '));
    return Cp1252::fromUnicode(text);
}

void QtChatDocument::collapseSelectionToEnd() {
    if (m_view.isNull()) {
        return;
    }
    QTextCursor cursor = m_view->textCursor();
    cursor.setPosition(cursor.selectionEnd());
    m_view->setTextCursor(cursor);
}

void QtChatDocument::setHandPointer(bool hand) {
    if (m_view.isNull()) {
        return;
    }
    if (hand && !m_hand) {
        m_hand = handCursor();
    }
    m_view->viewport()->setCursor(hand ? *m_hand : QCursor(Qt::ArrowCursor));
}

}  // namespace squadlink
