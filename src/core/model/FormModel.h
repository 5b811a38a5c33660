#pragma once

#include <string>

#include "core/model/Control.h"

namespace squadlink {

enum class WindowState { Normal, Minimized, Maximized };

// The main window itself: caption, placement in pixels, state.
class FormModel : public Control {
public:
    using Control::Control;
    const std::string& caption() const { return m_caption; }
    void setCaption(std::string caption) {
        m_caption = std::move(caption);
        changed.raise();
    }
    int left() const { return m_left; }
    int top() const { return m_top; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    void move(int left, int top) {
        m_left = left;
        m_top = top;
        changed.raise();
    }
    void setSize(int width, int height) {
        m_width = width;
        m_height = height;
        changed.raise();
    }
    WindowState windowState() const { return m_state; }
    void setWindowState(WindowState state) {
        if (state != m_state) {
            m_state = state;
            changed.raise();
            Resize.raise();
        }
    }

    Event<> Resize;

private:
    std::string m_caption;
    int m_left = 0;
    int m_top = 0;
    int m_width = 640;
    int m_height = 520;
    WindowState m_state = WindowState::Normal;
};

}  // namespace squadlink
