#pragma once

#include <string>

#include "core/model/Control.h"

namespace squadlink {

// A label, a frame or a picture: its caption is state the behaviour reads back.
class Label : public Control {
public:
    using Control::Control;
    const std::string& caption() const { return m_caption; }
    void setCaption(std::string caption) {
        if (caption != m_caption) {
            m_caption = std::move(caption);
            changed.raise();
        }
    }
    void clear() { setCaption({}); }

    Event<> Click;

private:
    std::string m_caption;
};

}  // namespace squadlink
