#include "WindowParts.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QPainter>
#include <QPushButton>
#include <QRadialGradient>

namespace squadlink {

MouseButton modelButton(Qt::MouseButton button) {
    switch (button) {
        case Qt::RightButton:
            return MouseButton::Right;
        case Qt::MiddleButton:
            return MouseButton::Middle;
        default:
            return MouseButton::Left;
    }
}

QLabel* fixedLabel(const char* text, QWidget* parent) {
    return new QLabel(QString::fromLatin1(text), parent);
}

QLabel* valueLabel(const char* name, QWidget* parent, const char* caption) {
    auto* label = named(new QLabel(parent), name);
    label->setAccessibleName(QString::fromLatin1(caption));
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    label->setMinimumWidth(60);
    return label;
}

void addButtonRow(QGridLayout* grid, int row, QPushButton* button, const char* hint,
                  QWidget* parent) {
    button->setAccessibleDescription(QString::fromLatin1(hint));
    grid->addWidget(button, row, 0);
    auto* label = new QLabel(QString::fromLatin1(hint), parent);
    label->setWordWrap(true);
    label->setBuddy(button);
    grid->addWidget(label, row, 1, 1, grid->columnCount() > 2 ? grid->columnCount() - 1 : 1);
}

QImage ownPicture(const QString& path) {
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QPixmap serverTypePixmap(const QString& resource) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    if (resource == QLatin1String("101")) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(30, 30, 30));
        painter.drawEllipse(QRectF(3, 1, 10, 13));
        painter.setBrush(Qt::white);
        painter.drawEllipse(QRectF(5, 5, 6, 8));
        painter.setBrush(QColor(240, 180, 20));
        painter.drawEllipse(QRectF(2, 12, 5, 3));
        painter.drawEllipse(QRectF(9, 12, 5, 3));
        painter.drawEllipse(QRectF(7, 4, 2, 2));
    } else if (resource == QLatin1String("102")) {
        painter.fillRect(QRect(1, 1, 6, 6), QColor(240, 80, 30));
        painter.fillRect(QRect(9, 1, 6, 6), QColor(120, 190, 30));
        painter.fillRect(QRect(1, 9, 6, 6), QColor(0, 160, 240));
        painter.fillRect(QRect(9, 9, 6, 6), QColor(255, 190, 0));
    } else {
        return {};
    }
    return pixmap;
}

QPixmap lampPixmap(const QColor& colour) {
    QPixmap pixmap(kLampSize, kLampSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour.darker(170), 1));
    QRadialGradient gradient(QPointF(4.5, 4.5), 8);
    gradient.setColorAt(0, colour.lighter(160));
    gradient.setColorAt(1, colour);
    painter.setBrush(gradient);
    painter.drawEllipse(QRectF(0.5, 0.5, kLampSize - 1.0, kLampSize - 1.0));
    return pixmap;
}

QFrame* sunkenPane(QWidget* parent) {
    auto* pane = new QFrame(parent);
    pane->setFrameShape(QFrame::Panel);
    pane->setFrameShadow(QFrame::Sunken);
    pane->setLineWidth(kPaneFrame);
    auto* layout = new QHBoxLayout(pane);
    layout->setContentsMargins(kPaneMargin, 0, kPaneMargin, 0);
    layout->setSpacing(0);
    return pane;
}

}  // namespace squadlink
