#pragma once

#include <string>

#include "core/model/Control.h"

namespace squadlink {

class CommandButton : public Control {
public:
    using Control::Control;
    const std::string& caption() const { return m_caption; }
    void setCaption(std::string caption) {
        m_caption = std::move(caption);
        changed.raise();
    }
    void click() { Click.raise(); }

    Event<> Click;

private:
    std::string m_caption;
};

}  // namespace squadlink
