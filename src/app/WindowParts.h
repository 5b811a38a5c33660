#pragma once

#include <QColor>
#include <QEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QObject>
#include <QPixmap>
#include <QString>
#include <functional>

#include "core/model/ListBox.h"

class QFrame;
class QGridLayout;
class QPushButton;
class QWidget;

namespace squadlink {

// Small pieces the main window's pages are built from.

// The model's name for a Qt mouse button.
MouseButton modelButton(Qt::MouseButton button);

inline constexpr int kLampSize = 13;
inline constexpr int kFontPixels = 11;
inline constexpr int kStatusHeight = 18;
inline constexpr int kPaneFrame = 1;
inline constexpr int kPaneMargin = 2;

// Calls back when the watched widget is resized.
class ResizeWatch : public QObject {
public:
    ResizeWatch(QObject* watched, std::function<void()> onResize)
        : QObject(watched), m_onResize(std::move(onResize)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        (void)watched;
        if (event->type() == QEvent::Resize) {
            m_onResize();
        }
        return false;
    }

private:
    std::function<void()> m_onResize;
};

// Calls back when Enter or Space is pressed on the watched widget.
class KeyActivation : public QObject {
public:
    KeyActivation(QObject* watched, std::function<void()> onActivate)
        : QObject(watched), m_onActivate(std::move(onActivate)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        (void)watched;
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Space) {
            return false;
        }
        m_onActivate();
        return true;
    }

private:
    std::function<void()> m_onActivate;
};

template <typename Widget>
Widget* named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* fixedLabel(const char* text, QWidget* parent);

// One of the program's own PNG pictures from its resources (null when there is none). Read as
// PNG and nothing else: a reader left to guess loads every image plug-in on the machine to ask
// each whether it knows the file.
QImage ownPicture(const QString& path);

// A label showing a value; assistive technology names it after the caption beside it and
// reads the value as its description.
QLabel* valueLabel(const char* name, QWidget* parent, const char* caption);

template <typename Widget>
Widget* accessible(Widget* widget, const char* name) {
    widget->setAccessibleName(QString::fromLatin1(name));
    return widget;
}

// A button with the hint that stands beside it; the hint also describes the button to
// assistive tools.
void addButtonRow(QGridLayout* grid, int row, QPushButton* button, const char* hint,
                  QWidget* parent);

// The 16 x 16 system pictures beside the server type: bitmap 101 Linux, 102 Windows.
QPixmap serverTypePixmap(const QString& resource);

// The connection lamp of the status bar in one colour.
QPixmap lampPixmap(const QColor& colour);

QFrame* sunkenPane(QWidget* parent);

// Keeps Tab and Shift+Tab inside the chat input box.
class KeepTabFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        (void)watched;
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            return key == Qt::Key_Tab || key == Qt::Key_Backtab;
        }
        return false;
    }
};

}  // namespace squadlink
