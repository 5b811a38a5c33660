#pragma once

#include <QAccessibleWidget>
#include <QList>
#include <QPointer>
#include <QTabBar>

namespace squadlink {

// The tab bar as assistive technology sees it. Qt's own description of tabs reports none of
// them selected and every one of them enabled; this one tells which tab is shown and which
// cannot be chosen. Installed as a factory for every QTabBar of the program.
class TabBarAccessible : public QAccessibleWidget {
public:
    explicit TabBarAccessible(QTabBar* bar);
    ~TabBarAccessible() override;
    TabBarAccessible(const TabBarAccessible&) = delete;
    TabBarAccessible& operator=(const TabBarAccessible&) = delete;

    static void install();

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

private:
    QTabBar* bar() const;
    void forgetTabs() const;
    // Ids of the tabs' interfaces, which the accessibility cache owns.
    mutable QList<QAccessible::Id> m_tabs;
};

}  // namespace squadlink
