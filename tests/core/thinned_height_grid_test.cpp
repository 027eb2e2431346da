#include "relief/point_rows.h"
#include "relief/thinned_height_grid.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

#include <random>

namespace {

HeightGrid fullGrid(const ExportParameters& p, const Selection& s, const Picture& picture)
{
    ScriptedEvents events;
    HeightGridBuilder builder;
    PointRowGatherer rows(p, s, builder);
    rows.begin();
    walkRelief(p, s, picture, events, {&rows});
    rows.end();
    return builder.grid;
}

std::vector<std::size_t> everyNth(std::size_t count, std::size_t n)
{
    std::vector<std::size_t> kept;
    for (std::size_t i = 0; i < count; i += n)
        kept.push_back(i);
    if (count > 0 && kept.back() != count - 1)
        kept.push_back(count - 1);
    return kept;
}

// Gray levels drawn at random, so that many right-hand corners are spikes.
Picture noisePicture(int width, int height)
{
    std::mt19937 random(7);
    std::vector<std::uint32_t> colours(std::size_t(width) * height);
    for (std::uint32_t& c : colours)
        c = random() % 2 ? 255 : random() % 256;
    return Picture(width, height, colours);
}

TEST(ThinnedHeightGrid, EqualsTheWholeGridAtTheKeptPoints)
{
    const Picture picture = noisePicture(90, 70);
    const struct {
        Selection selection;
        double step;
        std::size_t thinning;
    } cases[] = {
        {{0, 0, 1442, 1050}, 16.0256, 1},   // nothing left out
        {{0, 0, 1442, 1050}, 16.0256, 4},   // the last row and column not on the stride
        {{3.5f, 7, 1300, 900}, 7.3, 9},     // positions that accumulate rounding
        {{100, 60, 1000, 1000}, 30, 200},   // a stride longer than the grid: the corners only
        {{-200, -100, 1700, 1200}, 25, 3},  // edges outside the picture read black
        {{0, 0, 1442, 1050}, 2000, 2},      // no cell
    };
    for (const auto& c : cases) {
        const ExportParameters p{0.001, 0.5, c.step};
        const HeightGrid full = fullGrid(p, c.selection, picture);
        const HeightGrid thinned = thinnedHeightGrid(p, c.selection, picture, c.thinning);
        const std::vector<std::size_t> columns = everyNth(full.xs.size(), c.thinning);
        const std::vector<std::size_t> rows = everyNth(full.ys.size(), c.thinning);
        HeightGrid expected;
        for (std::size_t column : columns)
            expected.xs.push_back(full.xs[column]);
        for (std::size_t row : rows) {
            expected.ys.push_back(full.ys[row]);
            for (std::size_t column : columns)
                expected.depths.push_back(full.depth(row, column));
        }
        SCOPED_TRACE(c.step);
        SCOPED_TRACE(c.thinning);
        EXPECT_EQ(thinned.xs, expected.xs);
        EXPECT_EQ(thinned.ys, expected.ys);
        EXPECT_EQ(thinned.depths, expected.depths);
    }
}

}  // namespace
