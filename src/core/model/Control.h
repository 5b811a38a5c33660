#pragma once

#include <string>

#include "core/model/Event.h"

namespace squadlink {

// Base of every control model: a name, enabled and visible state, and a change signal that
// the window binding listens to so that the widget mirrors the model.
class Control {
public:
    explicit Control(std::string name) : m_name(std::move(name)) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return m_name; }
    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled) {
        if (m_enabled != enabled) {
            m_enabled = enabled;
            changed.raise();
        }
    }
    bool visible() const { return m_visible; }
    void setVisible(bool visible) {
        if (m_visible != visible) {
            m_visible = visible;
            changed.raise();
        }
    }
    // The behaviour asks for the focus; the window gives it to the widget.
    void setFocus() { focusRequested.raise(); }

    Event<> changed;
    Event<> focusRequested;

private:
    std::string m_name;
    bool m_enabled = true;
    bool m_visible = true;
};

}  // namespace squadlink
