#pragma once

#include <string>

#include "core/model/Control.h"

namespace squadlink {

// A check box. Setting a different value raises Click, as a user's click does.
class CheckBox : public Control {
public:
    using Control::Control;
    const std::string& caption() const { return m_caption; }
    void setCaption(std::string caption) {
        m_caption = std::move(caption);
        changed.raise();
    }
    int value() const { return m_value; }
    bool checked() const { return m_value == 1; }
    void setValue(int value) {
        const int normalised = value != 0 ? 1 : 0;
        if (normalised == m_value) {
            return;
        }
        m_value = normalised;
        changed.raise();
        Click.raise();
    }
    void click() { setValue(m_value == 1 ? 0 : 1); }

    Event<> Click;

private:
    std::string m_caption;
    int m_value = 0;
};

}  // namespace squadlink
