#include "ClockLabel.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <cmath>

namespace squadlink {

namespace {

// More distinct characters than a date and a time use; past it the store starts over.
constexpr qsizetype kMostCharacters = 32;

}  // namespace

ClockLabel::ClockLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    // Filled by its own paint, with the painter that draws the text: Qt would otherwise begin
    // a painter of its own each second for the background alone.
    setAutoFillBackground(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
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
    const QRectF ink = metrics.boundingRect(c);
    const qreal advance = metrics.horizontalAdvance(c);
    Character made{QStaticText(QString(c)), advance, std::min<qreal>(0, ink.left()),
                   std::max(advance, ink.right())};
    made.text.setTextFormat(Qt::PlainText);
    made.text.setPerformanceHint(QStaticText::AggressiveCaching);
    made.text.prepare(QTransform(), font());
    return *m_characters.insert(c.unicode(), made);
}

bool ClockLabel::drawsItself(const QString& shown) const {
    const Qt::Alignment align = alignment();
    return textFormat() == Qt::PlainText && !wordWrap() && indent() <= 0 && margin() == 0 &&
           frameWidth() == 0 && (align & Qt::AlignVCenter) && !shown.contains(QLatin1Char('\n')) &&
           layoutDirection() == Qt::LeftToRight;
}

QList<qreal> ClockLabel::positions(const QString& shown) {
    qreal width = 0;
    for (const QChar c : shown) {
        width += character(c).advance;
    }
    const QRectF area = contentsRect();
    const Qt::Alignment align = alignment();
    qreal x = area.left();
    if (align & Qt::AlignRight) {
        x = area.left() + area.width() - width;
    } else if (align & Qt::AlignHCenter) {
        x = area.left() + (area.width() - width) / 2;
    }
    QList<qreal> starts;
    starts.reserve(shown.size());
    for (const QChar c : shown) {
        starts.append(x);
        x += character(c).advance;
    }
    return starts;
}

void ClockLabel::showText(const QString& shown) {
    const QString before = text();
    if (shown == before) {
        return;
    }
    // Updates held only where they were not held already (by a parent, or before it is shown).
    if (testAttribute(Qt::WA_UpdatesDisabled) || !isVisible() || !drawsItself(before) ||
        !drawsItself(shown)) {
        setText(shown);
        return;
    }
    // The text is kept by QLabel (for its readers), but its repaint of the whole label is held
    // back: the area of the characters that changed or moved is repainted instead.
    setAttribute(Qt::WA_UpdatesDisabled, true);
    setText(shown);
    setAttribute(Qt::WA_UpdatesDisabled, false);
    const QList<qreal> oldStarts = positions(before);
    const QList<qreal> newStarts = positions(shown);
    const QRect area = contentsRect();
    QRegion changed;
    const auto mark = [&](QChar c, qreal start) {
        const Character& drawn = character(c);
        const int left = static_cast<int>(std::floor(start + drawn.inkLeft));
        const int right = static_cast<int>(std::ceil(start + drawn.inkRight));
        changed += QRect(left, area.top(), right - left, area.height());
    };
    for (qsizetype i = 0; i < std::max(before.size(), shown.size()); ++i) {
        const bool inBefore = i < before.size();
        const bool inShown = i < shown.size();
        if (inBefore && inShown && before[i] == shown[i] && oldStarts[i] == newStarts[i]) {
            continue;
        }
        if (inBefore) {
            mark(before[i], oldStarts[i]);
        }
        if (inShown) {
            mark(shown[i], newStarts[i]);
        }
    }
    update(changed & area);
}

void ClockLabel::paintEvent(QPaintEvent* event) {
    const QString shown = text();
    // Only the plain one-line case is ours; anything else looks exactly as a QLabel draws it.
    if (!drawsItself(shown)) {
        {
            QPainter background(this);
            background.fillRect(event->rect(), palette().brush(backgroundRole()));
        }
        QLabel::paintEvent(event);
        return;
    }
    if (m_lineHeight < 0) {
        m_lineHeight = QFontMetricsF(font()).height();
    }
    const QList<qreal> starts = positions(shown);
    const QRectF area = contentsRect();
    // The same baseline a QLabel gives one line centred in its height.
    const qreal top = area.top() + std::floor((area.height() - m_lineHeight) / 2);
    QPainter painter(this);
    const QRect dirty = event->rect();
    painter.fillRect(dirty, palette().brush(backgroundRole()));
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const Character& drawn = character(shown[i]);
        // Characters outside the repainted area are already on the screen.
        if (starts[i] + drawn.inkRight < dirty.left() ||
            starts[i] + drawn.inkLeft > dirty.right() + 1) {
            continue;
        }
        painter.drawStaticText(QPointF(starts[i], top), drawn.text);
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
