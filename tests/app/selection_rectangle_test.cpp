// Reshaping the selection rectangle with real mouse events on the window.

#include "window_fixture.h"

#include <cctype>

namespace {

// A drag (or, with no button, a move alone) and the four edges after it.
struct Step {
    float fromX, fromY, toX, toY;
    EdgeLines after;  // right, left, bottom, top
    Qt::MouseButton button = Qt::LeftButton;
};
struct Gesture {
    const char* name;
    std::vector<Step> steps;
};

// Named rather than dumped as bytes, which would hold addresses that change
// from build to build.
void PrintTo(const Gesture& gesture, std::ostream* out)
{
    *out << gesture.name;
}

// Edges start at right 5000, left 0, bottom 5000, top 0.
const Gesture gestures[] = {
    {"an edge is grabbed strictly within 25 units",
     {{-24, 2500, 1000, 2500, {5000, 1000, 5000, 0}}, {1025, 2500, 3000, 2500, {5000, 1000, 5000, 0}},
      {1024, 2500, 3000, 2500, {5000, 3000, 5000, 0}}}},
    {"a corner press grabs both edges", {{10, 10, 300, 200, {5000, 300, 5000, 200}}}},
    {"below the bottom-left corner", {{0, 5020, 400, 4000, {5000, 400, 4000, 0}}}},
    {"a narrow rectangle's vertical edges go together",
     {{5000, 2500, 40, 2500, {40, 0, 5000, 0}}, {20, 2500, 500, 2500, {500, 500, 5000, 0}}}},
    {"edges may cross",
     {{0, 2500, 6000, 2500, {5000, 6000, 5000, 0}}, {6000, 2500, 0, 2500, {5000, 0, 5000, 0}},
      {2500, 0, 2500, 7000, {5000, 0, 5000, 7000}}}},
    {"crossing by 50 units leaves the other pair's range empty",
     {{0, 2500, 5050, 2500, {5000, 5050, 5000, 0}}, {5025, 0, 5025, 1000, {5000, 5050, 5000, 0}},
      {5040, 2500, 0, 2500, {5000, 0, 5000, 0}}}},
    {"every button drags alike",
     {{5000, 2500, 4000, 2500, {4000, 0, 5000, 0}, Qt::RightButton},
      {4000, 2500, 3000, 2500, {3000, 0, 5000, 0}, Qt::MiddleButton}}},
    {"moving without a press changes nothing",
     {{0, 2500, 0, 2500, {5000, 0, 5000, 0}, Qt::NoButton}, {5000, 2500, 4000, 2500, {4000, 0, 5000, 0}},
      {100, 100, 100, 100, {4000, 0, 5000, 0}, Qt::NoButton}}},
    // 1004.5 is remembered as 1004, its grab ending at 1029; 1005.5 as 1006.
    {"the bottom is remembered as a whole number rounded half to even",
     {{2500, 5000, 2500, 1004.5f, {5000, 0, 1004.5f, 0}}, {2500, 1029.25f, 2500, 3000, {5000, 0, 1004.5f, 0}},
      {2500, 1004.5f, 2500, 1005.5f, {5000, 0, 1005.5f, 0}}, {2500, 1029.25f, 2500, 3000, {5000, 0, 3000, 0}}}},
    // Remembered as 40000: grabbed where it is, not where a 16-bit edge stopped.
    {"a bottom beyond the whole number range",
     {{2500, 5000, 2500, 40000.5f, {5000, 0, 40000.5f, 0}}, {2500, 32780, 2500, 6000, {5000, 0, 40000.5f, 0}},
      {2500, 40024, 2500, 6000, {5000, 0, 6000, 0}}}},
};

struct Rectangle : WindowTest, ::testing::WithParamInterface<Gesture> {};

TEST_P(Rectangle, EdgesFollowTheGrabRules)
{
    for (const Step& s : GetParam().steps) {
        if (s.button == Qt::NoButton)
            mouse(QEvent::MouseMove, s.toX, s.toY, Qt::NoButton);
        else
            drag(s.fromX, s.fromY, s.toX, s.toY, s.button);
        const SelectionRectangle& r = form.selection();
        EXPECT_EQ((std::vector<float>{r.rightEdge.fromX, r.leftEdge.fromX, r.bottomEdge.fromY, r.topEdge.fromY}),
                  (std::vector<float>{s.after.rightEdge, s.after.leftEdge, s.after.bottomEdge, s.after.topEdge}))
            << "after the drag to " << s.toX << ", " << s.toY;
    }
}

INSTANTIATE_TEST_SUITE_P(Gestures, Rectangle, ::testing::ValuesIn(gestures), [](const auto& info) {
    std::string name;
    for (const char* c = info.param.name; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
});

// The other lines' ends follow a moved edge.
using RectangleLines = WindowTest;

TEST_F(RectangleLines, EndOnTheEdgesTheyMeet)
{
    const SelectionRectangle& r = form.selection();
    drag(-24, 2500, 1000, 2500);
    EXPECT_TRUE(r.leftEdge.toX == 1000 && r.topEdge.toX == 1000 && r.bottomEdge.fromX == 1000);
    drag(1010, 10, 300, 200);  // the top-left corner
    EXPECT_TRUE(r.rightEdge.fromY == 200 && r.leftEdge.toY == 200);
    drag(300, 5020, 400, 4000);  // below the bottom-left corner: the vertical lines end on the bottom
    EXPECT_TRUE(r.leftEdge.fromY == 4000 && r.rightEdge.toY == 4000);
}

}  // namespace
