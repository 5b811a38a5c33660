#include "TabBarAccessible.h"

#include <QAccessibleActionInterface>

namespace squadlink {

namespace {

// One tab: a page tab that is selected while shown and disabled while it cannot be chosen.
class TabAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    TabAccessible(QTabBar* bar, int index) : m_bar(bar), m_index(index) {}

    bool isValid() const override { return !m_bar.isNull() && m_index < m_bar->count(); }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_bar.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }

    QString text(QAccessible::Text kind) const override {
        if (!isValid()) {
            return {};
        }
        switch (kind) {
            case QAccessible::Name: {
                QString name = m_bar->tabText(m_index);
                name.remove(QLatin1Char('&'));
                return name;
            }
            case QAccessible::Description:
                return m_bar->tabToolTip(m_index);
            default:
                return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        const QRect local = m_bar->tabRect(m_index);
        return QRect(m_bar->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        const bool enabled = m_bar->isEnabled() && m_bar->isTabEnabled(m_index);
        state.selectable = enabled;
        state.focusable = enabled;
        state.selected = m_bar->currentIndex() == m_index;
        state.focused = state.selected && m_bar->hasFocus();
        state.disabled = !enabled;
        state.invisible = !m_bar->isVisible() || !m_bar->tabRect(m_index).isValid();
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ActionInterface) {
            return static_cast<QAccessibleActionInterface*>(this);
        }
        return nullptr;
    }
    QStringList actionNames() const override {
        return state().disabled ? QStringList() : QStringList{pressAction()};
    }
    void doAction(const QString& action) override {
        if (action == pressAction() && isValid() && m_bar->isTabEnabled(m_index)) {
            m_bar->setCurrentIndex(m_index);
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<QTabBar> m_bar;
    int m_index;
};

QAccessibleInterface* tabBarFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("QTabBar") && object != nullptr && object->isWidgetType()) {
        // The accessibility cache owns the interface.
        return new TabBarAccessible(static_cast<QTabBar*>(object));
    }
    return nullptr;
}

}  // namespace

TabBarAccessible::TabBarAccessible(QTabBar* bar)
    : QAccessibleWidget(bar, QAccessible::PageTabList) {
}

TabBarAccessible::~TabBarAccessible() {
    forgetTabs();
}

void TabBarAccessible::install() {
    static bool installed = false;
    if (!installed) {
        installed = true;
        QAccessible::installFactory(tabBarFactory);
    }
}

QTabBar* TabBarAccessible::bar() const {
    return static_cast<QTabBar*>(object());
}

void TabBarAccessible::forgetTabs() const {
    for (const QAccessible::Id id : m_tabs) {
        QAccessible::deleteAccessibleInterface(id);
    }
    m_tabs.clear();
}

int TabBarAccessible::childCount() const {
    return bar()->count();
}

QAccessibleInterface* TabBarAccessible::child(int index) const {
    if (index < 0 || index >= bar()->count()) {
        return nullptr;
    }
    if (m_tabs.size() != bar()->count()) {
        forgetTabs();
        for (int i = 0; i < bar()->count(); ++i) {
            m_tabs.append(QAccessible::registerAccessibleInterface(new TabAccessible(bar(), i)));
        }
    }
    return QAccessible::accessibleInterface(m_tabs.at(index));
}

int TabBarAccessible::indexOfChild(const QAccessibleInterface* child) const {
    for (int i = 0; i < m_tabs.size(); ++i) {
        if (QAccessible::accessibleInterface(m_tabs.at(i)) == child) {
            return i;
        }
    }
    return -1;
}

QAccessibleInterface* TabBarAccessible::childAt(int x, int y) const {
    const int index = bar()->tabAt(bar()->mapFromGlobal(QPoint(x, y)));
    return index < 0 ? nullptr : child(index);
}

QAccessibleInterface* TabBarAccessible::focusChild() const {
    return bar()->hasFocus() ? child(bar()->currentIndex()) : nullptr;
}

}  // namespace squadlink
