#include "shell/EdgeSnap.h"

namespace squadlink {

namespace {

void shiftX(Rect& rect, int left) {
    const int width = rect.width();
    rect.left = left;
    rect.right = left + width;
}

void shiftY(Rect& rect, int top) {
    const int height = rect.height();
    rect.top = top;
    rect.bottom = top + height;
}

// One near edge (left or top). `start` is the proposed near coordinate, `pointer` the
// pointer's distance from it as the rules measure it.
template <typename Shift>
void nearEdge(Rect& rect, int start, int areaStart, int pointer, int grab, bool& snapped,
              Shift shift) {
    constexpr int d = EdgeSnap::kSnapDistance;
    if (!snapped && start < areaStart + d) {
        shift(rect, areaStart);
        snapped = true;
    } else if (snapped && start < areaStart) {
        shift(rect, areaStart);
    } else if (snapped && start > areaStart) {
        if (pointer - grab > d) {
            shift(rect, areaStart + d);
            snapped = false;
        } else {
            shift(rect, areaStart);
        }
    }
}

// One far edge (right or bottom); `end` and `size` are the proposed far coordinate and the
// window's extent along the axis.
template <typename Shift>
void farEdge(Rect& rect, int end, int size, int areaEnd, int pointer, int grab, bool& snapped,
             Shift shift) {
    constexpr int d = EdgeSnap::kSnapDistance;
    if (!snapped && end > areaEnd - d) {
        shift(rect, areaEnd - size);
        snapped = true;
    } else if (snapped && end > areaEnd) {
        shift(rect, areaEnd - size);
    } else if (snapped && end < areaEnd) {
        if (grab - pointer > d) {
            shift(rect, areaEnd - d - size);
            snapped = false;
        } else {
            shift(rect, areaEnd - size);
        }
    }
}

}  // namespace

void EdgeSnap::enterMove(Rect window, Rect workArea, Point cursor) {
    m_area = workArea;
    m_left = window.left < workArea.left + kSnapDistance;
    m_top = window.top < workArea.top + kSnapDistance;
    m_right = window.right > workArea.right - kSnapDistance;
    m_bottom = window.bottom > workArea.bottom - kSnapDistance;
    m_grab = Point{cursor.x - window.left, cursor.y - window.top};
    m_placed = window;
    m_lastCursor = cursor;
}

Rect EdgeSnap::dragTo(Point cursor) {
    Rect proposed = m_placed;
    shiftX(proposed, proposed.left + cursor.x - m_lastCursor.x);
    shiftY(proposed, proposed.top + cursor.y - m_lastCursor.y);
    return moving(proposed, cursor);
}

Rect EdgeSnap::dropped(Rect window, Rect workArea) {
    // Unsnapped edges take only the pull rule; the pointer plays no part.
    Rect rect = window;
    bool snapped = false;
    nearEdge(rect, rect.left, workArea.left, 0, 0, snapped, shiftX);
    snapped = false;
    nearEdge(rect, rect.top, workArea.top, 0, 0, snapped, shiftY);
    snapped = false;
    farEdge(rect, rect.right, rect.width(), workArea.right, 0, 0, snapped, shiftX);
    snapped = false;
    farEdge(rect, rect.bottom, rect.height(), workArea.bottom, 0, 0, snapped, shiftY);
    return rect;
}

Rect EdgeSnap::moving(Rect proposed, Point cursor) {
    Rect rect = proposed;
    // The horizontal distance is counted one pixel more and the vertical one pixel less;
    // users have long been used to exactly where the window lets go, so both stay.
    nearEdge(rect, rect.left, m_area.left, cursor.x - rect.left + 1, m_grab.x, m_left, shiftX);
    nearEdge(rect, rect.top, m_area.top, cursor.y - rect.top - 1, m_grab.y, m_top, shiftY);
    farEdge(rect, rect.right, rect.width(), m_area.right, cursor.x - rect.left + 1, m_grab.x,
            m_right, shiftX);
    farEdge(rect, rect.bottom, rect.height(), m_area.bottom, cursor.y - rect.top - 1, m_grab.y,
            m_bottom, shiftY);
    m_placed = rect;
    m_lastCursor = cursor;
    return rect;
}

}  // namespace squadlink
