#pragma once

#include "core/model/Label.h"
#include "core/model/ListBox.h"

namespace squadlink {

// A read-only rich-text view whose content lives in a document of its own; the model carries
// its mouse events (pixel coordinates of the view).
class RichTextBox : public Label {
public:
    using Label::Label;

    void mouseMove(int x, int y) { MouseMove.raise(x, y); }
    void mouseUp(MouseButton button, int x, int y) { MouseUp.raise(button, x, y); }
    void dblClick() { DblClick.raise(); }
    // The window has laid the view out: its page was shown for the first time.
    void laidOut() { LaidOut.raise(); }

    Event<int, int> MouseMove;
    Event<MouseButton, int, int> MouseUp;
    Event<> DblClick;
    Event<> LaidOut;
};

}  // namespace squadlink
