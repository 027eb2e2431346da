#include "relief/corner_depth.h"
#include "relief/point_rows.h"
#include "relief/text_format_writer.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

#include "relief/number_text.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <sstream>

namespace {

// Writes each corner as "x y depth" with the last corner marked, so that the
// walk can be read back.
const ExportFormat& traceFormat()
{
    static const ExportFormat format{"", std::nullopt, {"head"}, {"open"}, {'.', "", " ", " ", "", " last", true},
                                     {"close"}, {"tail"}};
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
Walk walk(const Selection& selection, double step, const Picture& picture = {}, double maxDepth = 0.5,
          EventLoop* events = nullptr)
{
    StringSink sink;
    TextOutput out(sink);
    Dots dots;
    ScriptedEvents noEvents;
    const ExportParameters parameters{1, maxDepth, step};
    TextFormatWriter trace(traceFormat(), out, parameters.scale);
    HeightGridBuilder grid;
    PointRowGatherer rows(parameters, selection, grid);
    Walk w;
    trace.writeHead();
    rows.begin();
    w.result = walkRelief(parameters, selection, picture, events ? *events : noEvents, {&trace, &dots, &rows});
    rows.end();
    trace.writeTail();
    out.Close();
    w.grid = grid.grid;
    std::istringstream in(sink.committed);
    for (std::string line; std::getline(in, line);)
        w.lines.push_back(line.substr(0, line.size() - 1));  // drop the CR
    w.dots = dots.dots;
    return w;
}

// Corner lines only, without the fixed pieces.
std::vector<std::string> corners(const Walk& w)
{
    std::vector<std::string> result;
    for (const std::string& line : w.lines)
        if (line != "head" && line != "open" && line != "close" && line != "tail")
            result.push_back(line);
    return result;
}

// A picture whose pixel colour is given per column of the first row; other rows are black.
Picture rowPicture(const std::vector<std::uint32_t>& firstRow)
{
    std::vector<std::uint32_t> colours(firstRow.size() * 4, 0);
    std::copy(firstRow.begin(), firstRow.end(), colours.begin());
    return Picture(static_cast<int>(firstRow.size()), 4, colours);
}

TEST(GridWalk, CornersAndDotsComeRowByRowLeftToRight)
{
    const Walk w = walk({0, 0, 100, 100}, 50);
    const std::vector<std::string> expected = {
        "head", "open", "0 0 0", "50 0 0", "0 50 0", "50 50 0 last", "close",
        "open", "50 0 0", "100 0 0", "50 50 0", "100 50 0 last", "close",
        "open", "0 50 0", "50 50 0", "0 100 0", "50 100 0 last", "close",
        "open", "50 50 0", "100 50 0", "50 100 0", "100 100 0 last", "close", "tail"};
    EXPECT_EQ(w.lines, expected);
    const std::vector<std::pair<double, double>> dots = {{0, 0}, {50, 0}, {0, 50}, {50, 50}};
    EXPECT_EQ(w.dots, dots);
    EXPECT_EQ(w.result, WalkResult::Completed);
}

TEST(GridWalk, PartialStripsAreNotSampled)
{
    const Walk w = walk({10, 20, 120, 60}, 50);
    const std::vector<std::pair<double, double>> dots = {{10, 20}, {60, 20}};
    EXPECT_EQ(w.dots, dots);
    EXPECT_EQ(corners(w).back(), "110 70 0 last");

    EXPECT_EQ(walk({0, 0, 49, 500}, 50).lines, (std::vector<std::string>{"head", "tail"}));
    EXPECT_EQ(walk({0, 0, 500, 500}, -50).lines, (std::vector<std::string>{"head", "tail"}));
}

TEST(GridWalk, ReversedEdgeLinesWalkTheSameRectangle)
{
    const Selection normal = selectionFromLines({120.f, 0.f, 100.f, 0.f});
    const Selection reversed = selectionFromLines({0.f, 120.f, 0.f, 100.f});
    EXPECT_EQ(walk(normal, 50).lines, walk(reversed, 50).lines);
    EXPECT_EQ(reversed.left, 0.f);
    EXPECT_EQ(reversed.width, 120.f);
}

TEST(GridWalk, SelectionIsSinglePrecision)
{
    const Selection s = selectionFromLines({0.1f, 5000.3f, 5020.7f, 0.2f});
    EXPECT_EQ(s.left, 0.1f);
    EXPECT_EQ(s.top, 0.2f);
    EXPECT_EQ(s.width, static_cast<float>(5000.3f - 0.1f));
    EXPECT_EQ(s.height, static_cast<float>(double(5020.7f) - double(0.2f)));
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
    const std::vector<std::string> lines = corners(w);
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
    const Walk w = walk({0, 0, 100, 100}, 50, {}, 0.5, &events);
    EXPECT_EQ(w.result, WalkResult::Abandoned);
    EXPECT_EQ(w.dots.size(), 2u);
    EXPECT_EQ(events.yields, 3);
}

TEST(GrayLevel, RedWithItsLowestBitCleared)
{
    EXPECT_EQ(grayLevel(255), 254);
    EXPECT_EQ(grayLevel(1), 0);
    EXPECT_EQ(grayLevel(128), 128);
    EXPECT_EQ(grayLevel(0x00FF00), 0);
    EXPECT_EQ(grayLevel(0xFF0000), 0);
    EXPECT_EQ(grayLevel(0xFFFFFF), 254);
    EXPECT_EQ(grayLevel(-1), -2);
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

// Pixel columns met at x = 0, 50, 100, 150, 200, 250 are 0, 3, 6, 9, 12, 15.
Picture spikePicture(int left, int centre, int right)
{
    std::vector<std::uint32_t> row(16, 0);
    row[0] = static_cast<std::uint32_t>(left);
    row[3] = static_cast<std::uint32_t>(centre);
    row[6] = static_cast<std::uint32_t>(right);
    return rowPicture(row);
}

std::string secondCorner(const Picture& picture, float width = 150)
{
    return corners(walk({0, 0, width, 50}, 50, picture, 1.0))[1];
}

TEST(SpikeFilter, SmoothsALoneRightHandCornerAtTheThreshold)
{
    EXPECT_EQ(secondCorner(spikePicture(100, 178, 100)), "50 0 0.392156862745098");  // 200 / 510
    EXPECT_EQ(secondCorner(spikePicture(100, 176, 100)), "50 0 0.690196078431373");  // 176 / 255
    EXPECT_EQ(secondCorner(spikePicture(0, 254, 254)), "50 0 0.996078431372549");
    EXPECT_EQ(secondCorner(spikePicture(200, 100, 200)), "50 0 0.784313725490196");  // dark spikes too
}

TEST(SpikeFilter, OnlyRightHandCornersInsideTheBoundAreFiltered)
{
    // The left-hand corner of the second cell is the same point, never filtered.
    EXPECT_EQ(corners(walk({0, 0, 150, 50}, 50, spikePicture(100, 178, 100), 1.0))[4], "50 0 0.698039215686274");
    // Width a whole number of steps: the last two columns are never filtered.
    EXPECT_EQ(secondCorner(spikePicture(100, 178, 100), 100), "50 0 0.698039215686274");

    // With 4 cells a row (width 200) only the first two cells' right-hand
    // corners can be smoothed; with width 220, the first three.
    auto smoothed = [](float width, int cell) {
        std::vector<std::uint32_t> row(17, 0);
        row[static_cast<std::size_t>(3 * (cell + 1))] = 200;  // under x = 50 (cell + 1)
        const std::string line = corners(walk({0, 0, width, 50}, 50, rowPicture(row), 1.0))[4 * cell + 1];
        return line.substr(line.rfind(' ') + 1) == "0";
    };
    EXPECT_TRUE(smoothed(200, 0));
    EXPECT_TRUE(smoothed(200, 1));
    EXPECT_FALSE(smoothed(200, 2));
    EXPECT_FALSE(smoothed(200, 3));
    EXPECT_TRUE(smoothed(220, 2));
    EXPECT_FALSE(smoothed(220, 3));
}

}  // namespace

namespace {

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
