#pragma once

#include <QHash>
#include <QLabel>
#include <QStaticText>

namespace squadlink {

// A one-line label for text that changes every second, such as the status bar's clock. It looks
// like a QLabel with the same text, but keeps each character laid out once and draws the
// characters from that store, so a new time costs no text shaping and no font measuring.
class ClockLabel : public QLabel {
public:
    explicit ClockLabel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Character {
        QStaticText text;
        qreal advance = 0;
    };
    const Character& character(QChar c);
    QHash<char16_t, Character> m_characters;
    // The font's line height, measured with the first character.
    qreal m_lineHeight = -1;
};

}  // namespace squadlink
