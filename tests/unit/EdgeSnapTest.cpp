#include <gtest/gtest.h>

#include "shell/EdgeSnap.h"

namespace squadlink {
namespace {

constexpr Rect kArea{0, 0, 1280, 1024};

Rect windowAt(int left, int top, int width = 300, int height = 200) {
    return Rect{left, top, left + width, top + height};
}

void expectSameSize(const Rect& rect, int width, int height) {
    EXPECT_EQ(rect.width(), width);
    EXPECT_EQ(rect.height(), height);
}

TEST(EdgeSnapTest, EnterMoveMarksTheEdgesTheWindowRestsAgainst) {
    EdgeSnap snap;
    snap.enterMove(windowAt(500, 400), kArea, Point{550, 410});
    EXPECT_FALSE(snap.snappedLeft());
    EXPECT_FALSE(snap.snappedTop());
    EXPECT_FALSE(snap.snappedRight());
    EXPECT_FALSE(snap.snappedBottom());
    EXPECT_EQ(snap.grabOffset().x, 50);
    EXPECT_EQ(snap.grabOffset().y, 10);

    snap.enterMove(windowAt(19, 19), kArea, Point{30, 30});
    EXPECT_TRUE(snap.snappedLeft());
    EXPECT_TRUE(snap.snappedTop());
    snap.enterMove(windowAt(20, 20), kArea, Point{30, 30});
    EXPECT_FALSE(snap.snappedLeft());
    EXPECT_FALSE(snap.snappedTop());

    snap.enterMove(windowAt(961, 805), kArea, Point{1000, 900});  // right 1261, bottom 1005
    EXPECT_TRUE(snap.snappedRight());
    EXPECT_TRUE(snap.snappedBottom());
    snap.enterMove(windowAt(960, 804), kArea, Point{1000, 900});  // right 1260, bottom 1004
    EXPECT_FALSE(snap.snappedRight());
    EXPECT_FALSE(snap.snappedBottom());
}

TEST(EdgeSnapTest, FreeMoveFollowsThePointer) {
    EdgeSnap snap;
    snap.enterMove(windowAt(500, 400), kArea, Point{550, 410});
    const Rect placed = snap.dragTo(Point{600, 500});
    EXPECT_EQ(placed.left, 550);
    EXPECT_EQ(placed.top, 490);
    expectSameSize(placed, 300, 200);
}

// The whole gesture at the left edge: pulled flush at 15 pixels, held while the pointer
// stays near where it grabbed the window, let go 20 pixels out once it has moved more than
// 20 pixels from there.
TEST(EdgeSnapTest, LeftEdgeSnapsHoldsAndReleases) {
    EdgeSnap snap;
    snap.enterMove(windowAt(100, 400), kArea, Point{150, 450});  // grab x 50

    Rect placed = snap.dragTo(Point{65, 450});  // proposed left 15
    EXPECT_EQ(placed.left, 0);
    EXPECT_TRUE(snap.snappedLeft());
    expectSameSize(placed, 300, 200);

    placed = snap.dragTo(Point{55, 450});  // 10 more towards the edge
    EXPECT_EQ(placed.left, 0);
    placed = snap.dragTo(Point{65, 450});  // and 10 back out
    EXPECT_EQ(placed.left, 0);

    // The grab point is now at screen x 50; pixel by pixel the window stays until the
    // pointer is more than 20 pixels past it.
    int cursor = 66;
    for (; cursor <= 70; ++cursor) {
        placed = snap.dragTo(Point{cursor, 450});
        EXPECT_EQ(placed.left, 0) << cursor;
        EXPECT_TRUE(snap.snappedLeft());
    }
    placed = snap.dragTo(Point{cursor, 450});
    EXPECT_EQ(placed.left, 20);
    EXPECT_FALSE(snap.snappedLeft());
    expectSameSize(placed, 300, 200);

    // Released, it follows the pointer again without jumping back.
    placed = snap.dragTo(Point{cursor + 5, 450});
    EXPECT_EQ(placed.left, 25);
}

TEST(EdgeSnapTest, WindowRestingOnTheBottomStartsSnappedAndIsHeld) {
    EdgeSnap snap;
    const Rect resting = windowAt(400, 824);  // bottom 1024
    snap.enterMove(resting, kArea, Point{500, 900});
    EXPECT_TRUE(snap.snappedBottom());

    Rect placed = snap.dragTo(Point{500, 890});
    EXPECT_EQ(placed.bottom, 1024);
    placed = snap.dragTo(Point{500, 1000});  // pushed past the edge
    EXPECT_EQ(placed.bottom, 1024);
    EXPECT_EQ(placed.top, 824);

    int cursor = 900;
    while (snap.snappedBottom() && cursor > 800) {
        placed = snap.dragTo(Point{500, --cursor});
    }
    EXPECT_EQ(cursor, 879);  // 21 pixels above the grab point
    EXPECT_EQ(placed.bottom, 1004);
    expectSameSize(placed, 300, 200);
}

TEST(EdgeSnapTest, TopAndRightLetGoTwoPixelsLaterThanLeftAndBottom) {
    struct Edge {
        Rect window;
        Point grab;
        int step;  // pointer direction away from the edge
        bool (EdgeSnap::*snapped)() const;
        int expectedTravel;
    };
    const Edge edges[] = {
        {windowAt(0, 400), Point{50, 450}, 1, &EdgeSnap::snappedLeft, 21},
        {windowAt(500, 0), Point{550, 50}, 1, &EdgeSnap::snappedTop, 23},
        {windowAt(980, 400), Point{1230, 450}, -1, &EdgeSnap::snappedRight, 23},
        {windowAt(500, 824), Point{550, 974}, -1, &EdgeSnap::snappedBottom, 21},
    };
    for (const Edge& edge : edges) {
        EdgeSnap snap;
        snap.enterMove(edge.window, kArea, edge.grab);
        ASSERT_TRUE((snap.*edge.snapped)());
        const bool horizontal =
            edge.snapped == &EdgeSnap::snappedLeft || edge.snapped == &EdgeSnap::snappedRight;
        int travel = 0;
        while ((snap.*edge.snapped)() && travel < 100) {
            ++travel;
            const int offset = edge.step * travel;
            snap.dragTo(horizontal ? Point{edge.grab.x + offset, edge.grab.y}
                                   : Point{edge.grab.x, edge.grab.y + offset});
        }
        EXPECT_EQ(travel, edge.expectedTravel);
    }
}

// The same proposal and pointer, measured at each edge: a pointer 70 pixels into a window
// grabbed at 50 frees the left edge but not the top one.
TEST(EdgeSnapTest, ReleaseThresholdsOnOneProposal) {
    struct Case {
        Rect window;
        Point grab;
        Rect proposed;
        Point cursor;
        bool released;
        Rect expected;
    };
    const Case cases[] = {
        // Left: (cursor - left + 1) - grab = 20 holds, 21 releases; the others the same way.
        {windowAt(0, 300), {50, 400}, windowAt(5, 300), {74, 400}, false, windowAt(0, 300)},
        {windowAt(0, 300), {50, 400}, windowAt(5, 300), {75, 400}, true, windowAt(20, 300)},
        // Top: (cursor - top - 1) - grab must exceed 20.
        {windowAt(300, 0), {400, 50}, windowAt(300, 5), {400, 76}, false, windowAt(300, 0)},
        {windowAt(300, 0), {400, 50}, windowAt(300, 5), {400, 77}, true, windowAt(300, 20)},
        // Right: grab - (cursor - left + 1) must exceed 20.
        {windowAt(980, 300),
         {1230, 400},
         windowAt(975, 300),
         {1204, 400},
         false,
         windowAt(980, 300)},
        {windowAt(980, 300),
         {1230, 400},
         windowAt(975, 300),
         {1203, 400},
         true,
         windowAt(960, 300)},
        // Bottom: grab - (cursor - top - 1) must exceed 20.
        {windowAt(300, 824), {400, 974}, windowAt(300, 819), {400, 950}, false, windowAt(300, 824)},
        {windowAt(300, 824), {400, 974}, windowAt(300, 819), {400, 949}, true, windowAt(300, 804)},
    };
    for (const Case& c : cases) {
        EdgeSnap snap;
        snap.enterMove(c.window, kArea, c.grab);
        const Rect placed = snap.moving(c.proposed, c.cursor);
        EXPECT_EQ(placed.left, c.expected.left) << c.cursor.x << "," << c.cursor.y;
        EXPECT_EQ(placed.top, c.expected.top) << c.cursor.x << "," << c.cursor.y;
        EXPECT_EQ(placed.right, c.expected.right);
        EXPECT_EQ(placed.bottom, c.expected.bottom);
        const bool stillSnapped =
            snap.snappedLeft() || snap.snappedTop() || snap.snappedRight() || snap.snappedBottom();
        EXPECT_EQ(stillSnapped, !c.released) << c.cursor.x << "," << c.cursor.y;
    }
}

TEST(EdgeSnapTest, WorkAreaWithOffsetOrigin) {
    // A panel on the left and at the top moves the work area's corner.
    const Rect area{64, 32, 1920, 1080};
    EdgeSnap snap;
    snap.enterMove(windowAt(300, 300), area, Point{350, 310});
    const Rect placed = snap.dragTo(Point{130, 60});  // proposed (80, 50)
    EXPECT_EQ(placed.left, 64);
    EXPECT_EQ(placed.top, 32);
    EXPECT_TRUE(snap.snappedLeft());
    EXPECT_TRUE(snap.snappedTop());
}

TEST(EdgeSnapTest, SnapsIntoTheCornerAtRightAndBottom) {
    EdgeSnap snap;
    snap.enterMove(windowAt(500, 500), kArea, Point{600, 600});
    const Rect placed = snap.dragTo(Point{1070, 920});  // proposed right 1270, bottom 1020
    EXPECT_EQ(placed.right, 1280);
    EXPECT_EQ(placed.bottom, 1024);
    expectSameSize(placed, 300, 200);
}

// A window the window system has put down is pulled against the edges it came near, or
// went past, and left alone everywhere else.
TEST(EdgeSnapTest, DroppedWindowIsPulledAgainstNearEdgesOnly) {
    const struct {
        Rect window;
        Rect expected;
    } cases[] = {
        {windowAt(500, 400), windowAt(500, 400)},
        {windowAt(19, 20), windowAt(0, 20)},
        {windowAt(-40, 5), windowAt(0, 0)},
        {windowAt(961, 804), windowAt(980, 804)},
        {windowAt(1100, 900), windowAt(980, 824)},
        {windowAt(20, 804, 1240, 200), windowAt(20, 804, 1240, 200)},
    };
    for (const auto& c : cases) {
        const Rect placed = EdgeSnap::dropped(c.window, kArea);
        EXPECT_EQ(placed.left, c.expected.left) << c.window.left << "," << c.window.top;
        EXPECT_EQ(placed.top, c.expected.top) << c.window.left << "," << c.window.top;
        expectSameSize(placed, c.window.width(), c.window.height());
    }
    const Rect offsetArea{1280, 30, 2560, 1024};
    const Rect placed = EdgeSnap::dropped(windowAt(1290, 45), offsetArea);
    EXPECT_EQ(placed.left, 1280);
    EXPECT_EQ(placed.top, 30);
}

}  // namespace
}  // namespace squadlink
