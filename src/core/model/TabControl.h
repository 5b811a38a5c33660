#pragma once

#include <string>
#include <vector>

#include "core/model/Control.h"

namespace squadlink {

// The tab strip. Selecting a tab that does not exist raises 380; selecting another tab raises
// Click.
class TabControl : public Control {
public:
    TabControl(std::string name, std::vector<std::string> captions);
    int tabCount() const { return static_cast<int>(m_tabs.size()); }
    int selectedTab() const { return m_selected; }
    void setSelectedTab(int index);
    const std::string& caption(int index) const;
    bool tabEnabled(int index) const;
    void setTabEnabled(int index, bool enabled);

    Event<> Click;

private:
    struct Tab {
        std::string caption;
        bool enabled = true;
    };
    std::size_t checked(int index) const;
    std::vector<Tab> m_tabs;
    int m_selected = 0;
};

}  // namespace squadlink
