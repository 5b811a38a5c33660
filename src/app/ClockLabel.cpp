#include "ClockLabel.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

namespace squadlink {

namespace {

// More distinct characters than a date and a time use; past it the store starts over.
constexpr qsizetype kMostCharacters = 32;

}  // namespace

ClockLabel::ClockLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
}

const ClockLabel::Character& ClockLabel::character(QChar c) {
    auto found = m_characters.find(c.unicode());
    if (found != m_characters.end()) {
        return *found;
    }
    if (m_characters.size() >= kMostCharacters) {
        m_characters.clear();
    }
    const QFontMetricsF metrics(font());
    m_lineHeight = metrics.height();
    Character made{QStaticText(QString(c)), metrics.horizontalAdvance(c)};
    made.text.setTextFormat(Qt::PlainText);
    made.text.setPerformanceHint(QStaticText::AggressiveCaching);
    made.text.prepare(QTransform(), font());
    return *m_characters.insert(c.unicode(), made);
}

void ClockLabel::paintEvent(QPaintEvent* event) {
    const QString shown = text();
    const Qt::Alignment align = alignment();
    // Only the plain one-line case is ours; anything else looks exactly as a QLabel draws it.
    if (textFormat() != Qt::PlainText || wordWrap() || indent() > 0 || margin() != 0 ||
        frameWidth() != 0 || !(align & Qt::AlignVCenter) || shown.contains(QLatin1Char('\n')) ||
        layoutDirection() != Qt::LeftToRight) {
        QLabel::paintEvent(event);
        return;
    }
    qreal width = 0;
    for (const QChar c : shown) {
        width += character(c).advance;
    }
    if (m_lineHeight < 0) {
        m_lineHeight = QFontMetricsF(font()).height();
    }
    const QRectF area = contentsRect();
    qreal x = area.left();
    if (align & Qt::AlignRight) {
        x = area.left() + area.width() - width;
    } else if (align & Qt::AlignHCenter) {
        x = area.left() + (area.width() - width) / 2;
    }
    // The same baseline a QLabel gives one line centred in its height.
    const qreal top = area.top() + std::floor((area.height() - m_lineHeight) / 2);
    QPainter painter(this);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    for (const QChar c : shown) {
        const Character& drawn = character(c);
        painter.drawStaticText(QPointF(x, top), drawn.text);
        x += drawn.advance;
    }
}

void ClockLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        m_characters.clear();
        m_lineHeight = -1;
    }
    QLabel::changeEvent(event);
}

}  // namespace squadlink
