#pragma once

#include <string>
#include <vector>

#include "core/model/Control.h"

namespace squadlink {

// A menu item or a whole pop-up menu (its children in order). A caption of "-" is a separator.
class MenuItem : public Control {
public:
    MenuItem(std::string name, std::string caption, std::vector<MenuItem*> children = {})
        : Control(std::move(name)),
          m_caption(std::move(caption)),
          m_children(std::move(children)) {}
    const std::string& caption() const { return m_caption; }
    const std::vector<MenuItem*>& children() const { return m_children; }
    bool isSeparator() const { return m_caption == "-"; }
    void click() { Click.raise(); }
    // The behaviour asks the window to show this pop-up menu at the pointer.
    void popup() { popupRequested.raise(); }

    Event<> Click;
    Event<> popupRequested;

private:
    std::string m_caption;
    std::vector<MenuItem*> m_children;
};

}  // namespace squadlink
