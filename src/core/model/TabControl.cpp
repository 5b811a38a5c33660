#include "core/model/TabControl.h"

#include "platform/RuntimeError.h"

namespace squadlink {

TabControl::TabControl(std::string name, std::vector<std::string> captions)
    : Control(std::move(name)) {
    for (auto& caption : captions) {
        m_tabs.push_back(Tab{std::move(caption), true});
    }
}

std::size_t TabControl::checked(int index) const {
    if (index < 0 || index >= tabCount()) {
        throw RuntimeError(err::InvalidPropertyValue);
    }
    return static_cast<std::size_t>(index);
}

void TabControl::setSelectedTab(int index) {
    checked(index);
    if (index == m_selected) {
        return;
    }
    m_selected = index;
    changed.raise();
    Click.raise();
}

const std::string& TabControl::caption(int index) const {
    return m_tabs[checked(index)].caption;
}

bool TabControl::tabEnabled(int index) const {
    return m_tabs[checked(index)].enabled;
}

void TabControl::setTabEnabled(int index, bool enabled) {
    auto& tab = m_tabs[checked(index)];
    if (tab.enabled != enabled) {
        tab.enabled = enabled;
        changed.raise();
    }
}

}  // namespace squadlink
