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
#include <QHash>
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
#include <QTimer>

#include "BannerWidget.h"
#include "ClockLabel.h"
#include "TabStopDelegate.h"
#include "WindowParts.h"
#include "WindowsKeys.h"
#include "backends/qt/Cp1252.h"

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
            if (auto* clock = dynamic_cast<ClockLabel*>(l)) {
                clock->showText(caption);
            } else if (l->text() != caption) {
                l->setText(caption);
            }
            // A value label is named after its caption; its value travels as the description,
            // empty when there is none (never the surrounding frame's title).
            if (!l->accessibleName().isEmpty() && l->accessibleDescription() != caption) {
                l->setAccessibleDescription(caption);
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
    return winkeys::typedCharacter(event.key(), (modifiers & Qt::ControlModifier) != 0,
                                   (modifiers & Qt::AltModifier) != 0,
                                   event.text().toUcs4().value(0));
}

int ModelBinding::virtualKeyCode(const QKeyEvent& event) {
    return winkeys::virtualKey(event.key());
}

bool ModelBinding::textBoxKey(TextBox& box, QLineEdit* widget, QKeyEvent* event) {
    const QPointer<QLineEdit> target(widget);
    const int code = characterCode(*event);
    const int virtualKey = virtualKeyCode(*event);
    if (virtualKey != 0) {
        if (widget->hasSelectedText()) {
            box.noteSelection(static_cast<std::size_t>(widget->selectionStart()),
                              static_cast<std::size_t>(widget->selectedText().size()));
        } else {
            box.noteSelection(static_cast<std::size_t>(widget->cursorPosition()), 0);
        }
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
    // The model's selection runs from its start whichever way the user dragged.
    auto pushSelection = [this, &box, target, agreedCaret] {
        if (refreshing() || target.isNull() || !target->hasSelectedText()) {
            return false;
        }
        const auto start = static_cast<std::size_t>(target->selectionStart());
        const auto length = static_cast<std::size_t>(target->selectionLength());
        *agreedCaret = start;
        run([&box, start, length] { box.setSelection(start, length); });
        return true;
    };
    // Text put into the box from outside (assistive technology sets it whole) acts as typed:
    // every character passes the key rules, then the box's change rules run. The box's own
    // typing has reached the model through textEdited before this fires.
    connect(widget, &QLineEdit::textChanged, this, [this, &box, target](const QString& text) {
        if (refreshing() || target.isNull() || Cp1252::fromUnicode(text) == box.text()) {
            return;
        }
        const std::string typed = Cp1252::fromUnicode(text);
        run([&box, &typed] {
            std::string accepted;
            for (const char c : typed) {
                const int key = box.keyPress(static_cast<unsigned char>(c));
                if (key > 0 && key < 256) {
                    accepted.push_back(static_cast<char>(key));
                }
            }
            box.setText(accepted);
        });
        if (!target.isNull() && Cp1252::fromUnicode(target->text()) != box.text()) {
            const QSignalBlocker blocker(target.data());
            target->setText(Cp1252::toUnicode(box.text()));
        }
    });
    connect(widget, &QLineEdit::cursorPositionChanged, this,
            [this, &box, agreedCaret, pushSelection](int, int position) {
                if (refreshing() || position < 0 || pushSelection()) {
                    return;
                }
                *agreedCaret = static_cast<std::size_t>(position);
                run([&box, position] { box.setSelStart(static_cast<std::size_t>(position)); });
            });
    connect(widget, &QLineEdit::selectionChanged, this, [pushSelection] { pushSelection(); });
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
    // Rows are often taller than the font (style padding, icons) and the list may be scrolled:
    // only the list knows which entry is under the pointer.
    list.setRowLocator([target = QPointer<QListWidget>(widget)](int x, int y) {
        if (target.isNull()) {
            return -1;
        }
        return target->indexAt(QPoint(x, y)).row();
    });
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

void ModelBinding::bind(BannerView& banner, BannerWidget* widget) {
    widget->bind(banner, *this);
}

namespace {

// Binds the control when it is a Model and the object one of the Widgets it can be shown in.
template <typename Model, typename... Widgets>
bool bindAs(ModelBinding& binding, Control* control, QObject* object) {
    auto* model = dynamic_cast<Model*>(control);
    if (model == nullptr) {
        return false;
    }
    const auto tryWidget = [&](auto* widget) {
        if (widget == nullptr) {
            return false;
        }
        binding.bind(*model, widget);
        return true;
    };
    return (tryWidget(qobject_cast<Widgets*>(object)) || ...);
}

}  // namespace

namespace {

// Every named object under parent, each name taken by the object findChild() would return for
// it: a parent's own children first, then each child's tree in turn. One walk of the tree
// instead of one per control.
void collectNamed(const QObject* parent, QHash<QString, QObject*>& named) {
    for (QObject* child : parent->children()) {
        const QString name = child->objectName();
        if (!name.isEmpty() && !named.contains(name)) {
            named.insert(name, child);
        }
    }
    for (const QObject* child : parent->children()) {
        collectNamed(child, named);
    }
}

}  // namespace

std::vector<std::string> ModelBinding::bindAll(const std::vector<Control*>& controls,
                                               QObject* root) {
    std::vector<std::string> missing;
    QHash<QString, QObject*> named;
    collectNamed(root, named);
    for (Control* control : controls) {
        const QString name = QString::fromStdString(control->name());
        QObject* object = root->objectName() == name ? root : named.value(name);
        const bool bound =
            object != nullptr && (bindAs<FormModel, QWidget>(*this, control, object) ||
                                  bindAs<TabControl, QTabWidget>(*this, control, object) ||
                                  bindAs<TextBox, QLineEdit>(*this, control, object) ||
                                  bindAs<CheckBox, QCheckBox>(*this, control, object) ||
                                  bindAs<OptionButton, QRadioButton>(*this, control, object) ||
                                  bindAs<CommandButton, QAbstractButton>(*this, control, object) ||
                                  bindAs<ScrollBar, QAbstractSlider>(*this, control, object) ||
                                  bindAs<ListBox, QListWidget>(*this, control, object) ||
                                  bindAs<MenuItem, QMenu, QAction>(*this, control, object) ||
                                  bindAs<BannerView, BannerWidget>(*this, control, object) ||
                                  bindAs<HintPicture, QLabel>(*this, control, object) ||
                                  bindAs<Label, QWidget>(*this, control, object));
        if (!bound) {
            missing.push_back(control->name());
        }
    }
    return missing;
}

}  // namespace squadlink
