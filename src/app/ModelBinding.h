#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/model/WindowModel.h"

class QAbstractButton;
class QAbstractSlider;
class QAction;
class QCheckBox;
class QEvent;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QRadioButton;
class QTabWidget;
class QWidget;

namespace squadlink {

class BannerWidget;

// Two-way binding between control models and widgets. A model's `changed` refreshes its
// widget; the user's keys, clicks, edits and selections reach the model's entry points, each
// through the guard (the composition root wraps them in the common error handler). Refreshing
// a widget never feeds back into the model.
class ModelBinding : public QObject {
    Q_OBJECT
public:
    using Guard = std::function<void(const std::function<void()>&)>;

    explicit ModelBinding(QObject* parent = nullptr);
    ~ModelBinding() override;

    void setGuard(Guard guard);
    // Runs one user event through the guard.
    void run(const std::function<void()>& handler) const;
    // True while a widget is being brought up to date from its model.
    bool refreshing() const { return m_refreshing > 0; }

    void bind(FormModel& form, QWidget* window);
    void bind(TabControl& tabs, QTabWidget* widget);
    // A QLabel shows the caption (unless it is a picture: property "picture" set), a QGroupBox
    // its title; any other widget mirrors only enabled and visible.
    void bind(Label& label, QWidget* widget);
    // A small label: caption, tip, and the background colour that blinks.
    void bind(HintPicture& picture, QLabel* widget);
    void bind(TextBox& box, QLineEdit* widget);
    void bind(CheckBox& box, QCheckBox* widget);
    void bind(OptionButton& option, QRadioButton* widget);
    void bind(CommandButton& button, QAbstractButton* widget);
    void bind(ListBox& list, QListWidget* widget);
    void bind(ScrollBar& bar, QAbstractSlider* widget);
    void bind(MenuItem& item, QAction* action);
    void bind(MenuItem& popup, QMenu* menu);
    void bind(BannerView& banner, BannerWidget* widget);

    // Binds every control to the object below root whose objectName is the control's name;
    // returns the names that found no object of a fitting type.
    std::vector<std::string> bindAll(const std::vector<Control*>& controls, QObject* root);

    // The Windows-1252 code a key event types (Ctrl+letter as 1 to 26, Backspace 8, Enter 13,
    // Escape 27, '?' for a character Windows-1252 lacks), or -1 when it types none.
    static int characterCode(const QKeyEvent& event);
    // The Windows virtual-key code of a key, or 0 when it has none worth reporting.
    static int virtualKeyCode(const QKeyEvent& event);

private:
    class Refreshing;
    // Connects a model refresh that only runs while both the binding and the widget exist.
    template <typename Widget, typename Refresh>
    void onChanged(Control& control, Widget* widget, Refresh refresh);
    void installFilter(QObject* target, std::function<bool(QEvent*)> filter);
    bool textBoxKey(TextBox& box, QLineEdit* widget, QKeyEvent* event);

    Guard m_guard;
    int m_refreshing = 0;
    // While the widget's state is pushed into the model, refreshing from the half-updated
    // model would undo the rest of the push.
    int m_pushing = 0;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}  // namespace squadlink
