#pragma once

#include "core/model/Label.h"
#include "core/model/ListBox.h"

namespace squadlink {

// A picture box that takes the mouse: its background is one of two system colours, and its
// buttons going down and up are events (pixel coordinates).
class PictureBox : public Label {
public:
    enum class Colour { TooltipBackground, ButtonText };
    using Label::Label;

    Colour backColour() const { return m_backColour; }
    void setBackColour(Colour colour) {
        if (colour != m_backColour) {
            m_backColour = colour;
            changed.raise();
        }
    }
    void mouseDown(MouseButton button, int x, int y) { MouseDown.raise(button, x, y); }
    void mouseUp(MouseButton button, int x, int y) { MouseUp.raise(button, x, y); }

    Event<MouseButton, int, int> MouseDown;
    Event<MouseButton, int, int> MouseUp;

private:
    Colour m_backColour = Colour::TooltipBackground;
};

}  // namespace squadlink
