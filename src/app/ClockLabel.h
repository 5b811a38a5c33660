#pragma once

#include <QHash>
#include <QLabel>
#include <QList>
#include <QStaticText>

namespace squadlink {

// A one-line label for text that changes every second, such as the status bar's clock. It looks
// like a QLabel with the same text, but keeps each character laid out once and draws the
// characters from that store, so a new time costs no text shaping and no font measuring. It is
// opaque: it fills itself with its palette's background, as a QLabel that fills its background.
class ClockLabel : public QLabel {
public:
    explicit ClockLabel(QWidget* parent = nullptr);

    // Shows a new text as setText() would, but repaints only the characters that changed
    // (the last digit, most seconds), not the whole label.
    void showText(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Character {
        QStaticText text;
        qreal advance = 0;
        // Where its ink reaches, from its start: glyphs may overhang their advance.
        qreal inkLeft = 0;
        qreal inkRight = 0;
    };
    const Character& character(QChar c);
    // Whether the text is drawn from the store, as one plain line; QLabel draws anything else.
    bool drawsItself(const QString& shown) const;
    // Where each character of `shown` starts, in the label's own coordinates.
    QList<qreal> positions(const QString& shown);
    QHash<char16_t, Character> m_characters;
    // The font's line height, measured with the first character.
    qreal m_lineHeight = -1;
};

}  // namespace squadlink
