#pragma once

#include <QTextBrowser>
#include <functional>

#include "core/model/RichTextBox.h"

namespace squadlink {

// The chat view widget: a read-only text browser that never follows links by itself and hands
// the mouse (moves, releases, double clicks) to the view's model.
class ChatBrowser : public QTextBrowser {
    Q_OBJECT
public:
    using Runner = std::function<void(const std::function<void()>&)>;

    explicit ChatBrowser(QWidget* parent = nullptr);
    void attach(RichTextBox& model, Runner run);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    RichTextBox* m_model = nullptr;
    Runner m_run;
};

}  // namespace squadlink
