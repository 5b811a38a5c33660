#pragma once

#include "platform/WindowSystem.h"

namespace squadlink {

struct Point {
    int x = 0;
    int y = 0;
};

// Pulls the main window against the edges of the work area while it is dragged. A window
// that comes within the snap distance of an edge is put flush against it and stays there
// until the pointer has moved more than the snap distance away from where it held the
// window; it is then let go at the snap distance from the edge.
class EdgeSnap {
public:
    static constexpr int kSnapDistance = 20;

    // At the start of a move: which edges the window already rests against, and where the
    // pointer holds it.
    void enterMove(Rect window, Rect workArea, Point cursor);
    // The position the window system proposes for the window, with the pointer where it is
    // now; returns where the window goes instead. The size never changes. The proposal must
    // be where the window is now, moved by the pointer's movement since the last call: the
    // pointer's drift from the window is what lets a snapped edge go.
    Rect moving(Rect proposed, Point cursor);
    // For window systems that report only the pointer: makes that proposal from the last
    // placement and pointer position, and returns the new placement.
    Rect dragTo(Point cursor);

    // Where a window comes to rest when the window system moves it without letting the program
    // follow each step: an edge that ends up within the snap distance of the work area's edge,
    // or beyond it, is put flush against it.
    static Rect dropped(Rect window, Rect workArea);

    bool snappedLeft() const { return m_left; }
    bool snappedTop() const { return m_top; }
    bool snappedRight() const { return m_right; }
    bool snappedBottom() const { return m_bottom; }
    Point grabOffset() const { return m_grab; }

private:
    Rect m_area;
    Point m_grab;
    Rect m_placed;
    Point m_lastCursor;
    bool m_left = false;
    bool m_top = false;
    bool m_right = false;
    bool m_bottom = false;
};

}  // namespace squadlink
