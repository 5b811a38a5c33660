#include "ReflexArea.h"

#include <QMouseEvent>
#include <QVBoxLayout>

#include "WindowParts.h"

namespace squadlink {

ReflexArea::ReflexArea(QWidget* parent) : QFrame(parent), m_caption(new QLabel(this)) {
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    m_caption->setAlignment(Qt::AlignCenter);
    QFont bold = m_caption->font();
    bold.setBold(true);
    m_caption->setFont(bold);
    // The caption is part of the area: its presses go to the area.
    m_caption->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->addWidget(m_caption);
    refresh();
}

void ReflexArea::attach(PictureBox& model, Runner run) {
    m_model = &model;
    m_run = std::move(run);
    std::weak_ptr<bool> alive = m_alive;
    model.changed.connect([this, alive] {
        if (!alive.expired()) {
            refresh();
        }
    });
    refresh();
}

void ReflexArea::refresh() {
    const bool light =
        m_model == nullptr || m_model->backColour() == PictureBox::Colour::TooltipBackground;
    const QPalette system = palette();
    const QColor lightColour = system.color(QPalette::ToolTipBase);
    const QColor darkColour = system.color(QPalette::ButtonText);
    QPalette area = palette();
    area.setColor(QPalette::Window, light ? lightColour : darkColour);
    setPalette(area);
    QPalette text = m_caption->palette();
    text.setColor(QPalette::WindowText, light ? darkColour : lightColour);
    m_caption->setPalette(text);
}

void ReflexArea::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (m_model != nullptr) {
        PictureBox& model = *m_model;
        const MouseButton button = modelButton(event->button());
        const QPoint at = event->position().toPoint();
        m_run([&model, button, at] { model.mouseDown(button, at.x(), at.y()); });
    }
}

void ReflexArea::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (m_model != nullptr) {
        PictureBox& model = *m_model;
        const MouseButton button = modelButton(event->button());
        const QPoint at = event->position().toPoint();
        m_run([&model, button, at] { model.mouseUp(button, at.x(), at.y()); });
    }
}

}  // namespace squadlink
