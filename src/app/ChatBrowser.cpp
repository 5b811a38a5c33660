#include "ChatBrowser.h"

#include <QMouseEvent>
#include <QPointer>

namespace squadlink {

ChatBrowser::ChatBrowser(QWidget* parent) : QTextBrowser(parent) {
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    // The right button shows the program's link menu over a link and nothing elsewhere.
    setContextMenuPolicy(Qt::NoContextMenu);
    viewport()->setMouseTracking(true);
    viewport()->setCursor(Qt::ArrowCursor);
}

void ChatBrowser::attach(RichTextBox& model, Runner run) {
    m_model = &model;
    m_run = std::move(run);
}

void ChatBrowser::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() != Qt::NoButton) {
        // Dragging makes a selection.
        QTextBrowser::mouseMoveEvent(event);
    }
    if (m_model != nullptr) {
        const QPoint at = event->position().toPoint();
        RichTextBox& model = *m_model;
        m_run([&model, at] { model.mouseMove(at.x(), at.y()); });
    }
    event->accept();
}

void ChatBrowser::mouseReleaseEvent(QMouseEvent* event) {
    QTextBrowser::mouseReleaseEvent(event);
    if (m_model == nullptr) {
        return;
    }
    const QPointer<ChatBrowser> alive(this);
    const QPoint at = event->position().toPoint();
    const MouseButton button = event->button() == Qt::RightButton    ? MouseButton::Right
                               : event->button() == Qt::MiddleButton ? MouseButton::Middle
                                                                     : MouseButton::Left;
    RichTextBox& model = *m_model;
    m_run([&model, button, at] { model.mouseUp(button, at.x(), at.y()); });
    if (!alive.isNull() && button == MouseButton::Left) {
        m_run([&model] { model.Click.raise(); });
    }
}

void ChatBrowser::mouseDoubleClickEvent(QMouseEvent* event) {
    // No word selection on a double click: it opens the link under the pointer.
    event->accept();
    if (m_model != nullptr && event->button() == Qt::LeftButton) {
        RichTextBox& model = *m_model;
        m_run([&model] { model.dblClick(); });
    }
}

void ChatBrowser::focusInEvent(QFocusEvent* event) {
    QTextBrowser::focusInEvent(event);
    // The view shows no caret; only selections are made in it.
    setCursorWidth(0);
}

}  // namespace squadlink
