#include "ModelBinding.h"

#include <QAbstractSlider>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCursor>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QPalette>
#include <QPointer>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBrowser>

#include "TabStopDelegate.h"
#include "platform/qt/Cp1252.h"

namespace squadlink {

namespace {

constexpr int kNoMaxLength = 32767;

// Forwards one object's events to a function; owned by the watched object.
class FunctionFilter : public QObject {
public:
    FunctionFilter(QObject* parent, std::function<bool(QEvent*)> filter)
        : QObject(parent), m_filter(std::move(filter)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        (void)watched;
        return m_filter(event);
    }

private:
    std::function<bool(QEvent*)> m_filter;
};

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

int shiftState(Qt::KeyboardModifiers modifiers) {
    return ((modifiers & Qt::ShiftModifier) != 0 ? 1 : 0) |
           ((modifiers & Qt::ControlModifier) != 0 ? 2 : 0) |
           ((modifiers & Qt::AltModifier) != 0 ? 4 : 0);
}

// Check boxes cannot wrap their text; one with a "wrapWidth" gets line breaks where its words
// would run past that width.
QString wrappedCaption(const QString& caption, const QWidget* widget) {
    const int width = widget->property("wrapWidth").toInt();
    if (width <= 0) {
        return caption;
    }
    const QFontMetrics metrics(widget->font());
    QString result;
    QString line;
    for (const QString& word : caption.split(QLatin1Char(' '))) {
        const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(candidate) > width) {
            result += line + QLatin1Char('\n');
            line = word;
        } else {
            line = candidate;
        }
    }
    return result + line;
}

bool setIfDifferent(QWidget* widget, bool enabled, bool visible) {
    if (widget->isEnabled() != enabled) {
        widget->setEnabled(enabled);
    }
    if (widget->isHidden() == visible) {
        widget->setVisible(visible);
        return true;
    }
    return false;
}

}  // namespace

class ModelBinding::Refreshing {
public:
    explicit Refreshing(ModelBinding& binding) : m_binding(binding) { ++m_binding.m_refreshing; }
    ~Refreshing() { --m_binding.m_refreshing; }
    Refreshing(const Refreshing&) = delete;
    Refreshing& operator=(const Refreshing&) = delete;

private:
    ModelBinding& m_binding;
};

ModelBinding::ModelBinding(QObject* parent) : QObject(parent) {
}

ModelBinding::~ModelBinding() {
    *m_alive = false;
}

void ModelBinding::setGuard(Guard guard) {
    m_guard = std::move(guard);
}

void ModelBinding::run(const std::function<void()>& handler) const {
    if (m_guard) {
        m_guard(handler);
    } else {
        handler();
    }
}

template <typename Widget, typename Refresh>
void ModelBinding::onChanged(Control& control, Widget* widget, Refresh refresh) {
    // The model cannot disconnect handlers, so each one checks that its ends still exist.
    std::weak_ptr<bool> alive = m_alive;
    QPointer<Widget> target(widget);
    auto update = [this, alive, target, refresh] {
        if (alive.expired() || target.isNull() || m_pushing > 0) {
            return;
        }
        Refreshing scope(*this);
        refresh(target.data());
    };
    control.changed.connect(update);
    update();
}

void ModelBinding::installFilter(QObject* target, std::function<bool(QEvent*)> filter) {
    target->installEventFilter(new FunctionFilter(target, std::move(filter)));
}

// ---------------------------------------------------------------------------------------------
// Window

void ModelBinding::bind(FormModel& form, QWidget* window) {
    onChanged(form, window, [&form](QWidget* w) {
        const QString title = Cp1252::toUnicode(form.caption());
        if (w->windowTitle() != title) {
            w->setWindowTitle(title);
        }
        if (w->pos() != QPoint(form.left(), form.top())) {
            w->move(form.left(), form.top());
        }
        if (w->minimumSize() != QSize(form.width(), form.height()) ||
            w->maximumSize() != QSize(form.width(), form.height())) {
            w->setFixedSize(form.width(), form.height());
        }
        const bool minimized = form.windowState() == WindowState::Minimized;
        if (minimized && !w->isMinimized()) {
            if (w->isVisible()) {
                w->showMinimized();
            } else {
                w->setWindowState(w->windowState() | Qt::WindowMinimized);
            }
        } else if (!minimized && w->isMinimized()) {
            w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
        }
    });
    QPointer<QWidget> target(window);
    installFilter(window, [this, &form, target](QEvent* event) {
        if (refreshing() || target.isNull()) {
            return false;
        }
        if (event->type() == QEvent::Move && target->isVisible()) {
            const QPoint pos = target->pos();
            if (pos != QPoint(form.left(), form.top())) {
                run([&form, pos] { form.move(pos.x(), pos.y()); });
            }
        } else if (event->type() == QEvent::WindowStateChange) {
            const WindowState state = target->isMinimized()   ? WindowState::Minimized
                                      : target->isMaximized() ? WindowState::Maximized
                                                              : WindowState::Normal;
            run([&form, state] { form.setWindowState(state); });
        }
        return false;
    });
}

// ---------------------------------------------------------------------------------------------
// Tabs

void ModelBinding::bind(TabControl& tabs, QTabWidget* widget) {
    auto refresh = [&tabs](QTabWidget* w) {
        // Only the tab widget's own signal is blocked: its bar must still switch the page.
        const QSignalBlocker blocker(w);
        setIfDifferent(w, tabs.enabled(), tabs.visible());
        for (int i = 0; i < tabs.tabCount() && i < w->count(); ++i) {
            const QString caption = Cp1252::toUnicode(tabs.caption(i));
            if (w->tabText(i) != caption) {
                w->setTabText(i, caption);
            }
            if (w->isTabEnabled(i) != tabs.tabEnabled(i)) {
                w->setTabEnabled(i, tabs.tabEnabled(i));
            }
        }
        if (w->currentIndex() != tabs.selectedTab()) {
            w->setCurrentIndex(tabs.selectedTab());
        }
    };
    onChanged(tabs, widget, refresh);
    QPointer<QTabWidget> target(widget);
    connect(widget, &QTabWidget::currentChanged, this, [this, &tabs, target, refresh](int index) {
        if (refreshing() || target.isNull() || index < 0 || index >= tabs.tabCount()) {
            return;
        }
        run([&tabs, index] { tabs.setSelectedTab(index); });
        if (!target.isNull()) {
            Refreshing scope(*this);
            refresh(target.data());
        }
    });
    tabs.focusRequested.connect([target, alive = std::weak_ptr<bool>(m_alive)] {
        if (!alive.expired() && !target.isNull()) {
            target->tabBar()->setFocus(Qt::OtherFocusReason);
        }
    });
}

// ---------------------------------------------------------------------------------------------
// Labels, frames, pictures

void ModelBinding::bind(Label& label, QWidget* widget) {
    auto* text = qobject_cast<QLabel*>(widget);
    const bool picture = widget->property("picture").toBool();
    if (text != nullptr && !picture) {
        // Captions carry nicks and addresses from the network: never markup.
        text->setTextFormat(Qt::PlainText);
    }
    onChanged(label, widget, [&label, picture](QWidget* w) {
        setIfDifferent(w, label.enabled(), label.visible());
        const QString caption = Cp1252::toUnicode(label.caption());
        if (auto* frame = qobject_cast<QGroupBox*>(w)) {
            if (frame->title() != caption) {
                frame->setTitle(caption);
            }
        } else if (auto* l = qobject_cast<QLabel*>(w); l != nullptr && !picture) {
            if (l->text() != caption) {
                l->setText(caption);
            }
        } else if (auto* view = qobject_cast<QTextBrowser*>(w)) {
            // The chat view: plain text, so nothing from the network is taken for markup, and
            // kept scrolled to the newest line.
            QString lines = caption;
            lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            if (view->toPlainText() != lines) {
                view->setPlainText(lines);
                view->moveCursor(QTextCursor::End);
                view->ensureCursorVisible();
            }
        }
    });
    if (text != nullptr) {
        installFilter(widget, [this, &label](QEvent* event) {
            if (event->type() == QEvent::MouseButtonRelease &&
                static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                run([&label] { label.Click.raise(); });
            }
            return false;
        });
    }
    QPointer<QWidget> target(widget);
    label.focusRequested.connect([target, alive = std::weak_ptr<bool>(m_alive)] {
        if (!alive.expired() && !target.isNull()) {
            target->setFocus(Qt::OtherFocusReason);
        }
    });
}

void ModelBinding::bind(HintPicture& picture, QLabel* widget) {
    widget->setTextFormat(Qt::PlainText);
    widget->setAutoFillBackground(true);
    onChanged(picture, widget, [&picture](QLabel* w) {
        setIfDifferent(w, picture.enabled(), picture.visible());
        w->setText(Cp1252::toUnicode(picture.caption()));
        w->setToolTip(Cp1252::toUnicode(picture.toolTip()));
        w->setAccessibleDescription(w->toolTip());
        QPalette palette = w->palette();
        const QPalette system = QApplication::palette();
        palette.setColor(QPalette::Window, picture.highlighted()
                                               ? system.color(QPalette::ToolTipBase)
                                               : system.color(QPalette::Dark));
        palette.setColor(QPalette::WindowText, picture.highlighted()
                                                   ? system.color(QPalette::ToolTipText)
                                                   : system.color(QPalette::BrightText));
        w->setPalette(palette);
    });
}

// ---------------------------------------------------------------------------------------------
// Text boxes

int ModelBinding::characterCode(const QKeyEvent& event) {
    const auto modifiers = event.modifiers();
    const int key = event.key();
    if ((modifiers & Qt::ControlModifier) != 0 && (modifiers & Qt::AltModifier) == 0 &&
        key >= Qt::Key_A && key <= Qt::Key_Z) {
        return key - Qt::Key_A + 1;
    }
    switch (key) {
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 13;
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return -1;
        default:
            break;
    }
    const QString text = event.text();
    if (text.isEmpty()) {
        return -1;
    }
    const char32_t codePoint = text.toUcs4().value(0);
    if (codePoint < 32 || codePoint == 127) {
        return -1;
    }
    const int byte = Cp1252::byteFor(codePoint);
    return byte < 0 ? '?' : byte;
}

int ModelBinding::virtualKeyCode(const QKeyEvent& event) {
    const int key = event.key();
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
        return key;  // Qt and Windows agree on letters and digits.
    }
    switch (key) {
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Tab:
            return 9;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 13;
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_Space:
            return 32;
        case Qt::Key_PageUp:
            return 33;
        case Qt::Key_PageDown:
            return 34;
        case Qt::Key_End:
            return 35;
        case Qt::Key_Home:
            return 36;
        case Qt::Key_Left:
            return 37;
        case Qt::Key_Up:
            return 38;
        case Qt::Key_Right:
            return 39;
        case Qt::Key_Down:
            return 40;
        case Qt::Key_Insert:
            return 45;
        case Qt::Key_Delete:
            return 46;
        default:
            return 0;
    }
}

bool ModelBinding::textBoxKey(TextBox& box, QLineEdit* widget, QKeyEvent* event) {
    const QPointer<QLineEdit> target(widget);
    const int code = characterCode(*event);
    const int virtualKey = virtualKeyCode(*event);
    if (virtualKey != 0) {
        int result = virtualKey;
        const int shift = shiftState(event->modifiers());
        run([&box, &result, virtualKey, shift] { result = box.keyDown(virtualKey, shift); });
        if (target.isNull()) {
            return true;
        }
        // A cancelled key that types nothing (Delete, arrows) must not reach the box.
        if (result == 0 && code < 0) {
            return true;
        }
    }
    if (code < 0) {
        return false;
    }
    int result = 0;
    run([&box, &result, code] { result = box.keyPress(code); });
    if (target.isNull() || result == 0) {
        return true;
    }
    if (result != code) {
        // A handler replaced the character: type the replacement instead.
        if (result >= 32) {
            target->insert(QString(QChar(
                static_cast<char16_t>(Cp1252::codePointFor(static_cast<unsigned char>(result))))));
            const std::string text = Cp1252::fromUnicode(target->text());
            run([&box, &text] { box.setText(text); });
        }
        return true;
    }
    return false;
}

void ModelBinding::bind(TextBox& box, QLineEdit* widget) {
    // The last caret position the two sides agreed on, to tell which side moved it.
    auto agreedCaret = std::make_shared<std::size_t>(box.selStart());
    onChanged(box, widget, [&box, agreedCaret](QLineEdit* w) {
        const QSignalBlocker blocker(w);
        setIfDifferent(w, box.enabled(), box.visible());
        const int maxLength =
            box.maxLength() == 0 ? kNoMaxLength : static_cast<int>(box.maxLength());
        if (w->maxLength() != maxLength) {
            w->setMaxLength(maxLength);
        }
        const QString text = Cp1252::toUnicode(box.text());
        const int caret = static_cast<int>(box.selStart());
        if (w->text() != text) {
            w->setText(text);
            w->setCursorPosition(caret);
        } else if (box.selStart() != *agreedCaret && w->cursorPosition() != caret) {
            w->setCursorPosition(caret);
        }
        *agreedCaret = box.selStart();
    });
    QPointer<QLineEdit> target(widget);
    connect(widget, &QLineEdit::textEdited, this, [this, &box](const QString& text) {
        if (refreshing()) {
            return;
        }
        const std::string bytes = Cp1252::fromUnicode(text);
        run([&box, &bytes] { box.setText(bytes); });
    });
    connect(widget, &QLineEdit::cursorPositionChanged, this,
            [this, &box, agreedCaret](int, int position) {
                if (refreshing() || position < 0) {
                    return;
                }
                *agreedCaret = static_cast<std::size_t>(position);
                run([&box, position] { box.setSelStart(static_cast<std::size_t>(position)); });
            });
    installFilter(widget, [this, &box, target](QEvent* event) {
        if (target.isNull()) {
            return false;
        }
        switch (event->type()) {
            case QEvent::KeyPress:
                return textBoxKey(box, target.data(), static_cast<QKeyEvent*>(event));
            case QEvent::FocusOut: {
                // Switching to another program or opening a menu is not leaving the box.
                const auto reason = static_cast<QFocusEvent*>(event)->reason();
                if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                    run([&box] { box.lostFocus(); });
                }
                return false;
            }
            case QEvent::ContextMenu:
                return box.takesRightClick();
            case QEvent::MouseButtonRelease:
                if (box.takesRightClick() &&
                    static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
                    run([&box] { box.rightClick(); });
                    return true;
                }
                return false;
            default:
                return false;
        }
    });
    box.focusRequested.connect([target, alive = std::weak_ptr<bool>(m_alive)] {
        if (!alive.expired() && !target.isNull()) {
            target->setFocus(Qt::OtherFocusReason);
        }
    });
}

// ---------------------------------------------------------------------------------------------
// Buttons

void ModelBinding::bind(CheckBox& box, QCheckBox* widget) {
    auto refresh = [&box](QCheckBox* w) {
        const QSignalBlocker blocker(w);
        setIfDifferent(w, box.enabled(), box.visible());
        const QString caption = wrappedCaption(Cp1252::toUnicode(box.caption()), w);
        if (w->text() != caption) {
            w->setText(caption);
        }
        if (w->isChecked() != box.checked()) {
            w->setChecked(box.checked());
        }
    };
    onChanged(box, widget, refresh);
    QPointer<QCheckBox> target(widget);
    connect(widget, &QCheckBox::clicked, this, [this, &box, target, refresh] {
        if (refreshing()) {
            return;
        }
        run([&box] { box.click(); });
        if (!target.isNull()) {
            Refreshing scope(*this);
            refresh(target.data());
        }
    });
}

void ModelBinding::bind(OptionButton& option, QRadioButton* widget) {
    auto refresh = [&option](QRadioButton* w) {
        const QSignalBlocker blocker(w);
        setIfDifferent(w, option.enabled(), option.visible());
        const QString caption = Cp1252::toUnicode(option.caption());
        if (w->text() != caption) {
            w->setText(caption);
        }
        if (w->isChecked() != option.value()) {
            // An exclusive group cannot show "none chosen", which the model allows.
            QButtonGroup* group = w->group();
            const bool exclusive = group != nullptr && group->exclusive();
            const bool autoExclusive = w->autoExclusive();
            if (exclusive) {
                group->setExclusive(false);
            }
            w->setAutoExclusive(false);
            w->setChecked(option.value());
            w->setAutoExclusive(autoExclusive);
            if (exclusive) {
                group->setExclusive(true);
            }
        }
    };
    onChanged(option, widget, refresh);
    QPointer<QRadioButton> target(widget);
    connect(widget, &QRadioButton::clicked, this, [this, &option, target, refresh] {
        if (refreshing()) {
            return;
        }
        run([&option] { option.click(); });
        if (!target.isNull()) {
            Refreshing scope(*this);
            refresh(target.data());
        }
    });
}

void ModelBinding::bind(CommandButton& button, QAbstractButton* widget) {
    onChanged(button, widget, [&button](QAbstractButton* w) {
        setIfDifferent(w, button.enabled(), button.visible());
        const QString caption = Cp1252::toUnicode(button.caption());
        if (w->text() != caption) {
            w->setText(caption);
        }
    });
    connect(widget, &QAbstractButton::clicked, this, [this, &button] {
        if (!refreshing()) {
            run([&button] { button.click(); });
        }
    });
    QPointer<QAbstractButton> target(widget);
    button.focusRequested.connect([target, alive = std::weak_ptr<bool>(m_alive)] {
        if (!alive.expired() && !target.isNull()) {
            target->setFocus(Qt::OtherFocusReason);
        }
    });
}

// ---------------------------------------------------------------------------------------------
// List box

void ModelBinding::bind(ListBox& list, QListWidget* widget) {
    widget->setSelectionMode(QAbstractItemView::ExtendedSelection);
    widget->setUniformItemSizes(true);
    // The right button belongs to the program's own roster menu.
    widget->setContextMenuPolicy(Qt::PreventContextMenu);
    list.setRowHeight(widget->fontMetrics().height());
    auto refresh = [&list](QListWidget* w) {
        const QSignalBlocker blocker(w);
        setIfDifferent(w, list.enabled(), list.visible());
        const auto& entries = list.entries();
        const int count = static_cast<int>(entries.size());
        while (w->count() > count) {
            delete w->takeItem(w->count() - 1);
        }
        while (w->count() < count) {
            w->addItem(QString());
        }
        for (int i = 0; i < count; ++i) {
            QListWidgetItem* item = w->item(i);
            const auto& entry = entries[static_cast<std::size_t>(i)];
            const QString text = Cp1252::toUnicode(entry.text);
            if (item->text() != text) {
                item->setText(text);
            }
            if (item->isSelected() != entry.selected) {
                item->setSelected(entry.selected);
            }
        }
        if (auto* delegate = qobject_cast<TabStopDelegate*>(w->itemDelegate())) {
            delegate->setTabStops(list.tabStops(), w->fontMetrics(), w->viewport()->width());
        }
    };
    onChanged(list, widget, refresh);
    QPointer<QListWidget> target(widget);
    connect(widget, &QListWidget::itemSelectionChanged, this, [this, &list, target, refresh] {
        if (refreshing() || target.isNull()) {
            return;
        }
        {
            struct Pushing {
                int& depth;
                explicit Pushing(int& d) : depth(d) { ++depth; }
                ~Pushing() { --depth; }
                Pushing(const Pushing&) = delete;
                Pushing& operator=(const Pushing&) = delete;
            } pushing(m_pushing);
            run([&list, target] {
                for (int i = 0; i < list.listCount() && i < target->count(); ++i) {
                    list.setSelected(i, target->item(i)->isSelected());
                }
            });
        }
        if (!target.isNull()) {
            Refreshing scope(*this);
            refresh(target.data());
        }
    });
    installFilter(widget->viewport(), [this, &list](QEvent* event) {
        const auto type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease) {
            return false;
        }
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const MouseButton button = modelButton(mouse->button());
        const QPoint at = mouse->position().toPoint();
        if (type == QEvent::MouseButtonPress) {
            run([&list, button, at] { list.mouseDown(button, at.x(), at.y()); });
        } else {
            run([&list, button, at] { list.mouseUp(button, at.x(), at.y()); });
        }
        // The right button acts only through the model; the list must not change the
        // selection on its own as well.
        return button == MouseButton::Right;
    });
    list.focusRequested.connect([target, alive = std::weak_ptr<bool>(m_alive)] {
        if (!alive.expired() && !target.isNull()) {
            target->setFocus(Qt::OtherFocusReason);
        }
    });
}

// ---------------------------------------------------------------------------------------------
// Scroll bars

void ModelBinding::bind(ScrollBar& bar, QAbstractSlider* widget) {
    auto refresh = [&bar](QAbstractSlider* w) {
        const QSignalBlocker blocker(w);
        setIfDifferent(w, bar.enabled(), bar.visible());
        w->setRange(bar.min(), bar.max());
        w->setPageStep(bar.largeChange());
        if (w->value() != bar.value()) {
            w->setValue(bar.value());
        }
    };
    onChanged(bar, widget, refresh);
    QPointer<QAbstractSlider> target(widget);
    connect(widget, &QAbstractSlider::valueChanged, this, [this, &bar, target, refresh](int value) {
        if (refreshing()) {
            return;
        }
        run([&bar, value] { bar.setValue(value); });
        if (!target.isNull()) {
            Refreshing scope(*this);
            refresh(target.data());
        }
    });
}

// ---------------------------------------------------------------------------------------------
// Menus

void ModelBinding::bind(MenuItem& item, QAction* action) {
    onChanged(item, action, [&item](QAction* a) {
        a->setSeparator(item.isSeparator());
        if (!item.isSeparator()) {
            const QString caption = Cp1252::toUnicode(item.caption());
            if (a->text() != caption) {
                a->setText(caption);
            }
        }
        a->setEnabled(item.enabled());
        a->setVisible(item.visible());
    });
    connect(action, &QAction::triggered, this, [this, &item] {
        if (!refreshing()) {
            run([&item] { item.click(); });
        }
    });
}

void ModelBinding::bind(MenuItem& popup, QMenu* menu) {
    onChanged(popup, menu, [&popup](QMenu* m) {
        m->setTitle(Cp1252::toUnicode(popup.caption()));
        m->setEnabled(popup.enabled());
        m->menuAction()->setVisible(popup.visible());
    });
    QPointer<QMenu> target(menu);
    popup.popupRequested.connect([target, alive = std::weak_ptr<bool>(m_alive)] {
        if (!alive.expired() && !target.isNull()) {
            target->popup(QCursor::pos());
        }
    });
}

// ---------------------------------------------------------------------------------------------

std::vector<std::string> ModelBinding::bindAll(const std::vector<Control*>& controls,
                                               QObject* root) {
    std::vector<std::string> missing;
    for (Control* control : controls) {
        const QString name = QString::fromStdString(control->name());
        QObject* object = root->objectName() == name ? root : root->findChild<QObject*>(name);
        bool bound = false;
        if (object != nullptr) {
            auto* widget = qobject_cast<QWidget*>(object);
            if (auto* form = dynamic_cast<FormModel*>(control); form && widget) {
                bind(*form, widget);
                bound = true;
            } else if (auto* tabs = dynamic_cast<TabControl*>(control)) {
                if (auto* w = qobject_cast<QTabWidget*>(object)) {
                    bind(*tabs, w);
                    bound = true;
                }
            } else if (auto* box = dynamic_cast<TextBox*>(control)) {
                if (auto* w = qobject_cast<QLineEdit*>(object)) {
                    bind(*box, w);
                    bound = true;
                }
            } else if (auto* check = dynamic_cast<CheckBox*>(control)) {
                if (auto* w = qobject_cast<QCheckBox*>(object)) {
                    bind(*check, w);
                    bound = true;
                }
            } else if (auto* option = dynamic_cast<OptionButton*>(control)) {
                if (auto* w = qobject_cast<QRadioButton*>(object)) {
                    bind(*option, w);
                    bound = true;
                }
            } else if (auto* button = dynamic_cast<CommandButton*>(control)) {
                if (auto* w = qobject_cast<QAbstractButton*>(object)) {
                    bind(*button, w);
                    bound = true;
                }
            } else if (auto* bar = dynamic_cast<ScrollBar*>(control)) {
                if (auto* w = qobject_cast<QAbstractSlider*>(object)) {
                    bind(*bar, w);
                    bound = true;
                }
            } else if (auto* list = dynamic_cast<ListBox*>(control)) {
                if (auto* w = qobject_cast<QListWidget*>(object)) {
                    bind(*list, w);
                    bound = true;
                }
            } else if (auto* item = dynamic_cast<MenuItem*>(control)) {
                if (auto* m = qobject_cast<QMenu*>(object)) {
                    bind(*item, m);
                    bound = true;
                } else if (auto* a = qobject_cast<QAction*>(object)) {
                    bind(*item, a);
                    bound = true;
                }
            } else if (auto* hint = dynamic_cast<HintPicture*>(control)) {
                if (auto* w = qobject_cast<QLabel*>(object)) {
                    bind(*hint, w);
                    bound = true;
                }
            } else if (auto* label = dynamic_cast<Label*>(control); label && widget) {
                bind(*label, widget);
                bound = true;
            }
        }
        if (!bound) {
            missing.push_back(control->name());
        }
    }
    return missing;
}

}  // namespace squadlink
