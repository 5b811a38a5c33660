#pragma once

#include <QHash>
#include <QLabel>
#include <QStaticText>

namespace squadlink {

// A one-line label for text that changes every second, such as the status bar's clock. It looks
// like a QLabel with the same text, but keeps each character laid out once and draws the
// characters from that store, so a new time costs no text shaping.
class ClockLabel : public QLabel {
public:
    explicit ClockLabel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    const QStaticText& character(QChar c);
    QHash<char16_t, QStaticText> m_characters;
};

}  // namespace squadlink
