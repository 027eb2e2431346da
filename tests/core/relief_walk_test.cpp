#include "relief/corner_depth.h"
#include "relief/grid_axis.h"
#include "relief/point_rows.h"
#include "relief/text_format_writer.h"
#include "relief/number_text.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <sstream>

namespace {

// Writes each corner as "x y depth", so that the walk can be read back.
const ExportFormat& traceFormat()
{
    static const ExportFormat format{"", std::nullopt, {}, {}, {'.', "", " ", " ", "", "", true}, {}, {}};
    return format;
}

struct Walk {
    std::vector<std::string> lines;
    std::vector<std::pair<double, double>> dots;
    WalkResult result;
    HeightGrid grid;
};

struct Dots : CellConsumer {
    std::vector<std::pair<double, double>> dots;
    bool cell(const ReliefCell& c) override
    {
        dots.emplace_back(c.x, c.y);
        return true;
    }
};

// Walks with three consumers: the trace format, the dots and the height grid.
Walk walk(const Selection& selection, double step, const Picture& picture = {}, EventLoop* events = nullptr)
{
    StringSink sink;
    TextOutput out(sink);
    Dots dots;
    ScriptedEvents noEvents;
    const ExportParameters parameters{1, 0.5, step};
    TextFormatWriter trace(traceFormat(), out, parameters.scale);
    HeightGridBuilder grid;
    PointRowGatherer rows(parameters, selection, grid);
    Walk w;
    trace.writeHead();
    rows.begin();
    w.result = walkRelief(parameters, selection, picture, events ? *events : noEvents, {&trace, &dots, &rows});
    rows.end();
    trace.writeTail();
    out.close();
    w.grid = grid.grid;
    std::istringstream in(sink.committed);
    for (std::string line; std::getline(in, line);)
        w.lines.push_back(line.substr(0, line.size() - 1));  // drop the CR
    w.dots = dots.dots;
    return w;
}

// Reversed lines give the same rectangle; single precision throughout.
TEST(GridWalk, SelectionFromTheEdgeLines)
{
    const std::pair<EdgeLines, Selection> cases[] = {
        {{120.f, 0.f, 100.f, 0.f}, {0, 0, 120, 100}},
        {{0.f, 120.f, 0.f, 100.f}, {0, 0, 120, 100}},
        {{0.1f, 5000.3f, 5020.7f, 0.2f},
         {0.1f, 0.2f, static_cast<float>(5000.3f - 0.1f), static_cast<float>(double(5020.7f) - double(0.2f))}},
    };
    for (const auto& [lines, wanted] : cases) {
        const Selection s = selectionFromLines(lines);
        EXPECT_TRUE(s.left == wanted.left && s.top == wanted.top && s.width == wanted.width &&
                    s.height == wanted.height)
            << s.left << ',' << s.top << ',' << s.width << ',' << s.height;
    }
}

// Every grid point's depth is the one the text exports write for it as a
// right-hand corner of the cell on its left, or as a left-hand corner of its
// row's first cell; X and Y are the corners' own positions.
TEST(HeightGrid, HoldsTheDepthsTheTextExportsWrite)
{
    std::vector<std::uint32_t> colours(30 * 12);
    for (std::size_t i = 0; i < colours.size(); ++i)
        colours[i] = static_cast<std::uint32_t>((i * 97 + i / 7 * 31) % 256);
    const Walk w = walk({3, 2, 470, 170}, 50, Picture(30, 12, colours));
    ASSERT_EQ(w.grid.xs.size(), 10u);
    ASSERT_EQ(w.grid.ys.size(), 4u);
    EXPECT_EQ(w.grid.depths.size(), 40u);
    std::map<std::pair<double, double>, std::set<std::string>> written;  // (x, y) -> its depth texts
    std::map<std::pair<double, double>, std::string> fromTheLeft;
    const std::vector<std::string>& lines = w.lines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::istringstream line(lines[i]);
        double x, y;
        std::string depth;
        line >> x >> y >> depth;
        written[{x, y}].insert(depth);
        if (i % 2 == 1 || x == 3)
            fromTheLeft[{x, y}] = depth;
    }
    for (std::size_t r = 0; r < w.grid.ys.size(); ++r)
        for (std::size_t c = 0; c < w.grid.xs.size(); ++c) {
            const auto at = std::make_pair(w.grid.xs[c], w.grid.ys[r]);
            ASSERT_EQ(fromTheLeft.count(at), 1u) << c << ',' << r;
            EXPECT_EQ(numberToText(w.grid.depth(r, c)), fromTheLeft[at]) << c << ',' << r;
        }
    // The walk met smoothed and unsmoothed texts of one point: the grid took the right one.
    EXPECT_TRUE(std::any_of(written.begin(), written.end(), [](const auto& p) { return p.second.size() > 1; }));
    EXPECT_TRUE(walk({0, 0, 40, 500}, 50).grid.depths.empty());
}

// The cell count (and so the progress bar's total and every size estimate)
// is the number of cells the walk visits, whatever the rounding.
TEST(GridWalk, CellCountMatchesTheWalk)
{
    const std::pair<double, Selection> cases[] = {
        {50, {0, 0, 100, 100}},     {50, {0, 0, 120, 99}},         {0.1, {0, 0, 0.7f, 0.3f}},
        {0.1, {0.1f, 0.2f, 1, 0.6f}}, {7.3, {-40.5f, 13.25f, 333.3f, 71.1f}}, {3, {1e7f, 1e7f, 31, 9}},
        {50, {0, 0, 49.9f, 500}},   {50, {0, 0, 500, 49.9f}},      {-5, {0, 0, 100, 100}},
        {1, {0, 0, 0, 0}},
    };
    for (const auto& [step, selection] : cases)
        EXPECT_EQ(walkCellCount({0.001, 0.5, step}, selection), walk(selection, step).dots.size())
            << step << ' ' << selection.left << ',' << selection.top << ',' << selection.width << ','
            << selection.height;
}

// Skipping ahead lands on the very doubles, and ends the axis at the very
// place, that one addition at a time does: across powers of two, through
// zero, at about a spacing of doubles a step, and where the rounding ties.
TEST(GridWalk, SkippingAheadLandsWhereOneStepAtATimeDoes)
{
    const double spacing = std::ldexp(1.0, -52);  // between 1 and 2
    const struct {
        double start, bound, step;
    } axes[] = {
        {0, 6399.999, 0.001},
        {-200, 299.9999, 1e-4},
        {4095.99999, 4096.00001, 1e-12},
        {1, 1 + 1e6 * spacing, 1.5 * spacing},
        {1 + spacing, 1 + 1e6 * spacing, 2.5 * spacing},
        {1 + spacing, 2, spacing / 2},
        {-4 - 4000 * spacing, -4 + 4000 * spacing, 5.2 * spacing},  // onto -4, where the spacing halves
        {1e17, 1e17 + 1e5, 1},
        {7, 6, 1},
    };
    for (const auto& a : axes) {
        GridAxis oneByOne(a.start, a.bound, a.step), skipping(a.start, a.bound, a.step);
        std::uint64_t count = 0;
        // Irregular runs, from 1 to 100 003 additions.
        for (std::uint64_t run = 1; skipping.more(); run = run * 7 % 100003 + 1) {
            std::uint64_t made = 0;
            for (; made < run && oneByOne.more(); ++made)
                oneByOne.advance();
            ASSERT_EQ(skipping.skip(run), made) << a.start << " after " << count;
            ASSERT_EQ(skipping.at(), oneByOne.at()) << a.start << " after " << count;
            ASSERT_EQ(skipping.more(), oneByOne.more()) << a.start << " after " << count;
            count += made;
        }
        EXPECT_EQ(countPositions(a.start, a.bound, a.step), count) << a.start;
    }
}

TEST(GridWalk, ACoordinateThatStopsMovingEndsTheWalk)
{
    // 1e17 + 1 == 1e17: without the guard this would never end.
    const Walk w = walk({1e17f, 1e17f, 0, 0}, 1);
    EXPECT_EQ(w.dots.size(), 1u);
}

TEST(GridWalk, AbandonedAtAYieldBeforeTheCellIsWritten)
{
    ScriptedEvents events;
    events.onYield = [](int n) { return n < 3; };
    const Walk w = walk({0, 0, 100, 100}, 50, {}, &events);
    EXPECT_EQ(w.result, WalkResult::Abandoned);
    EXPECT_EQ(w.dots, (std::vector<std::pair<double, double>>{{0, 0}, {50, 0}}));  // a dot per cell at its corner
    EXPECT_EQ(events.yields, 3);
}

TEST(GrayLevel, RedWithItsLowestBitCleared)
{
    const std::pair<std::int32_t, int> table[] = {{255, 254}, {1, 0},          {128, 128}, {0x00FF00, 0},
                                                  {0xFF0000, 0}, {0xFFFFFF, 254}, {-1, -2}};
    for (const auto& [colour, level] : table)
        EXPECT_EQ(grayLevel(colour), level) << colour;
}

TEST(ColourRead, PositionsFallInPicturePixels)
{
    std::vector<std::uint32_t> colours(4 * 3);
    for (std::size_t i = 0; i < colours.size(); ++i)
        colours[i] = static_cast<std::uint32_t>(i + 1);
    const Picture p(4, 3, colours);
    EXPECT_EQ(p.colourAt(0, 0), 1);
    EXPECT_EQ(p.colourAt(16.02, 14.99), 1);   // 16.02 * 0.936 / 15 < 1
    EXPECT_EQ(p.colourAt(16.03, 15), 6);      // column 1, row 1
    EXPECT_EQ(p.colourAt(64.11, 0), 0);       // past the width
    EXPECT_EQ(p.colourAt(0, 45), 0);          // past the height
    EXPECT_EQ(p.colourAt(-0.01, 0), 0);
    EXPECT_EQ(Picture().colourAt(0, 0), 0);
}

// The tables behind the depths must give the very doubles of the formulas,
// for picture levels and for the odd levels of out-of-range colours.
TEST(CornerDepthRule, SameDoublesAsTheFormulas)
{
    for (const double maxDepth : {0.5, 0.21, -0.5, 1e-300, 3.7}) {
        const CornerDepth depth(maxDepth);
        for (int centre = -300; centre <= 300; ++centre) {
            ASSERT_EQ(depth.plain(centre), centre / 255.0 * maxDepth) << centre;
            for (int left = -300; left <= 300; left += 23)
                for (const int right : {-260, -2, 0, 100, 178, 254, 300}) {
                    const bool spike = std::fabs(left / 255.0 - centre / 255.0) > 0.3 &&
                                       std::fabs(centre / 255.0 - right / 255.0) > 0.3;
                    const double expected = spike ? (left + right) / 510.0 * maxDepth : centre / 255.0 * maxDepth;
                    ASSERT_EQ(depth.filtered(left, centre, right), expected) << left << ' ' << centre << ' ' << right;
                }
        }
    }
}

}  // namespace
