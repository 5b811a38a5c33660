#pragma once

#include <string>
#include <vector>

#include "core/model/Control.h"

namespace squadlink {

// An option button of a group: switching one on switches the others off and raises Click.
class OptionButton : public Control {
public:
    using Control::Control;
    const std::string& caption() const { return m_caption; }
    void setCaption(std::string caption) {
        m_caption = std::move(caption);
        changed.raise();
    }
    bool value() const { return m_value; }
    void setValue(bool value) {
        if (value == m_value) {
            if (value) {
                Click.raise();
            }
            return;
        }
        m_value = value;
        if (value) {
            for (OptionButton* other : m_group) {
                other->m_value = false;
                other->changed.raise();
            }
        }
        changed.raise();
        if (value) {
            Click.raise();
        }
    }
    void click() { setValue(true); }
    static void makeGroup(const std::vector<OptionButton*>& buttons) {
        for (OptionButton* button : buttons) {
            for (OptionButton* other : buttons) {
                if (other != button) {
                    button->m_group.push_back(other);
                }
            }
        }
    }

    Event<> Click;

private:
    std::string m_caption;
    bool m_value = false;
    std::vector<OptionButton*> m_group;
};

}  // namespace squadlink
