// Reshaping the selection rectangle with real mouse events on the window.

#include "window_fixture.h"

namespace {

using Rectangle = WindowTest;

Selection bounds(const Form1& form)
{
    return selectionFromLines(form.selection().edges());
}

TEST_F(Rectangle, AnEdgeIsGrabbedStrictlyWithin25Units)
{
    drag(-24, 2500, 1000, 2500);
    EXPECT_EQ(form.selection().Line4.X1, 1000);
    EXPECT_EQ(form.selection().Line4.X2, 1000);
    EXPECT_EQ(form.selection().Line3.X2, 1000);
    EXPECT_EQ(form.selection().Line2.X1, 1000);

    drag(1025, 2500, 3000, 2500);  // 25 units off: nothing moves
    EXPECT_EQ(form.selection().Line4.X1, 1000);
    drag(1024, 2500, 3000, 2500);
    EXPECT_EQ(form.selection().Line4.X1, 3000);
}

TEST_F(Rectangle, ACornerPressGrabsBothEdges)
{
    drag(10, 10, 300, 200);
    const SelectionRectangle& r = form.selection();
    EXPECT_EQ(r.Line4.X1, 300);
    EXPECT_EQ(r.Line3.Y1, 200);
    EXPECT_EQ(r.Line1.Y1, 200);  // the right edge's upper end follows the top
    EXPECT_EQ(r.Line4.Y2, 200);
    EXPECT_EQ(r.Line1.X1, 5000);
}

TEST_F(Rectangle, PressBelowTheBottomLeftCornerGrabsBottomAndLeft)
{
    drag(0, 5020, 400, 4000);
    const SelectionRectangle& r = form.selection();
    EXPECT_EQ(r.Line4.X1, 400);
    EXPECT_EQ(r.Line2.Y1, 4000);
    // The vertical edges now end exactly on the bottom edge.
    EXPECT_EQ(r.Line4.Y1, 4000);
    EXPECT_EQ(r.Line1.Y2, 4000);
}

TEST_F(Rectangle, ANarrowRectangleGrabsBothVerticalEdgesTogether)
{
    drag(5000, 2500, 40, 2500);
    mouse(QEvent::MouseButtonPress, 20, 2500);
    mouse(QEvent::MouseMove, 500, 2500);
    EXPECT_EQ(form.selection().Line4.X1, 500);
    EXPECT_EQ(form.selection().Line1.X1, 500);
    EXPECT_EQ(bounds(form).width, 0);
    mouse(QEvent::MouseButtonRelease, 500, 2500);
}

TEST_F(Rectangle, CrossedEdgesStillGiveTheSmallerSideAndTheDistance)
{
    drag(0, 2500, 6000, 2500);  // left edge past the right one
    Selection s = bounds(form);
    EXPECT_EQ(s.left, 5000);
    EXPECT_EQ(s.width, 1000);
    drag(6000, 2500, 0, 2500);

    drag(2500, 0, 2500, 7000);  // top edge past the bottom one
    s = bounds(form);
    EXPECT_EQ(s.top, 5000);
    EXPECT_EQ(s.height, 2000);
}

TEST_F(Rectangle, CrossingBy50UnitsMakesTheOtherPairUngrabbable)
{
    drag(0, 2500, 5050, 2500);
    drag(5025, 0, 5025, 1000);  // on the top edge, but its x range is empty
    EXPECT_EQ(form.selection().Line3.Y1, 0);
    drag(5040, 2500, 0, 2500);  // the left edge can still be dragged back
    EXPECT_EQ(form.selection().Line4.X1, 0);
}

TEST_F(Rectangle, EveryButtonDragsAlike)
{
    drag(5000, 2500, 4000, 2500, Qt::RightButton);
    EXPECT_EQ(form.selection().Line1.X1, 4000);
    drag(4000, 2500, 3000, 2500, Qt::MiddleButton);
    EXPECT_EQ(form.selection().Line1.X1, 3000);
}

TEST_F(Rectangle, MovingWithoutAPressChangesNothing)
{
    mouse(QEvent::MouseMove, 0, 2500, Qt::NoButton);
    drag(5000, 2500, 4000, 2500);
    mouse(QEvent::MouseMove, 100, 100, Qt::NoButton);
    EXPECT_EQ(form.selection().Line1.X1, 4000);
    EXPECT_EQ(form.selection().Line3.Y1, 0);
}

TEST_F(Rectangle, BottomIsRememberedAsAWholeNumberRoundedHalfToEven)
{
    drag(2500, 5000, 2500, 1004.5f);  // remembered as 1004: the grab ends at 1029
    drag(2500, 1029.25f, 2500, 3000);
    EXPECT_EQ(form.selection().Line2.Y1, 1004.5f);
    drag(2500, 1004.5f, 2500, 1005.5f);  // remembered as 1006: the grab ends at 1031
    drag(2500, 1029.25f, 2500, 3000);
    EXPECT_EQ(form.selection().Line2.Y1, 3000);
}

TEST_F(Rectangle, ABottomBeyondTheWholeNumberRangeIsGrabbedWhereItIs)
{
    drag(2500, 5000, 2500, 40000.5f);  // remembered as 40000
    drag(2500, 32780, 2500, 6000);     // where a 16-bit edge would have stopped
    EXPECT_EQ(form.selection().Line2.Y1, 40000.5f);
    drag(2500, 40024, 2500, 6000);
    EXPECT_EQ(form.selection().Line2.Y1, 6000);
}

}  // namespace
