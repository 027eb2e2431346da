#include "preview/grid_thinning.h"
#include "preview/preview_picture.h"
#include "preview/relief_renderer.h"
#include "test_grids.h"

#include <QBuffer>
#include <QImageReader>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

namespace {

const QSize viewSize(600, 400);

bool isRelief(QRgb colour)
{
    return colour != previewBackground();
}

// How many pixels of the relief have each colour.
std::map<QRgb, int> reliefColours(const QImage& image)
{
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (isRelief(image.pixel(x, y)))
                ++counts[image.pixel(x, y)];
    return counts;
}

// A plate 60 x 40 cells, at depth 0 but for a square 20 cells wide (columns
// and rows 10 to 30 and 15 to 35) at 0.2 m: a bright square in the picture.
HeightGrid deepSquare()
{
    return gridOf(61, 41, [](int r, int c) { return c >= 10 && c <= 30 && r >= 15 && r <= 35 ? 0.2 : 0.0; });
}

TEST(ReliefRender, FlatAndSlopedPlanesEachShadeUniformlyAndDifferently)
{
    const HeightGrid flat = gridOf(61, 41, [](int, int) { return 0.1; });
    const HeightGrid ramp = gridOf(61, 41, [](int, int c) { return 0.004 * c; });
    int grays[2];
    for (int i : {0, 1}) {
        const std::map<QRgb, int> colours = reliefColours(renderRelief(i == 0 ? flat : ramp, PreviewCamera::front(), viewSize));
        ASSERT_FALSE(colours.empty());
        EXPECT_LE(qGray(colours.rbegin()->first) - qGray(colours.begin()->first), 1) << "plane " << i;
        grays[i] = qGray(colours.begin()->first);
    }
    EXPECT_GT(std::abs(grays[0] - grays[1]), 10);
}

// In depth colours the deep square is the brighter part, where the grid puts it.
TEST(ReliefRender, DeepSquareShowsWhereAndAsLargeAsInTheGridFromTheFront)
{
    const QImage image = renderRelief(deepSquare(), PreviewCamera::front(), viewSize, RenderMode::DepthColours);
    const QRect relief = boundsWhere(image, isRelief);
    ASSERT_FALSE(relief.isEmpty());
    EXPECT_NEAR(double(relief.width()) / relief.height(), 60.0 / 40.0, 0.02);

    int darkest = 255, brightest = 0;
    for (const auto& [colour, count] : reliefColours(image)) {
        darkest = std::min(darkest, qGray(colour));
        brightest = std::max(brightest, qGray(colour));
    }
    const int middle = (darkest + brightest) / 2;
    const QRect square = boundsWhere(image, [&](QRgb c) { return isRelief(c) && qGray(c) > middle; });
    // The square's edges are slopes one cell wide: the middle colour lies within them.
    const double cell = relief.width() / 60.0;
    const double tolerance = cell / 2 + 1;
    EXPECT_NEAR(square.left(), relief.left() + 9.5 * cell, tolerance);
    EXPECT_NEAR(square.right() + 1, relief.left() + 30.5 * cell, tolerance);
    EXPECT_NEAR(square.top(), relief.top() + 14.5 * cell, tolerance);
    EXPECT_NEAR(square.bottom() + 1, relief.top() + 35.5 * cell, tolerance);
}

TEST(ReliefRender, DeepSquareShowsItsSidesShadedUnlikeItsTopFromThreeQuarters)
{
    // The plate and the square's top are level, so they share the most
    // common shade; the sides are what differs from it.
    const auto sidePixels = [](const PreviewCamera& camera) {
        const std::map<QRgb, int> colours = reliefColours(renderRelief(deepSquare(), camera, viewSize));
        int total = 0, level = 0;
        for (const auto& [colour, count] : colours) {
            total += count;
            level = std::max(level, count);
        }
        return total - level;
    };
    const int fromFront = sidePixels(PreviewCamera::front());
    const int fromThreeQuarters = sidePixels(PreviewCamera::threeQuarter());
    // From the front a side is a band one cell wide; from three quarters,
    // two sides 0.2 m deep face the eye.
    EXPECT_GT(fromThreeQuarters, 3 * fromFront);
}

TEST(GridThinning, KeepsOnePointInNAndTheLastOnes)
{
    // 11 x 7 points, at most 20: 1 in 2 keeps 6 x 4 = 24, 1 in 3 keeps 5 x 3.
    const HeightGrid grid = gridOf(11, 7, [](int r, int c) { return r * 100 + c; });
    const ThinnedGrid thinned = thinGrid(grid, 20);
    EXPECT_EQ(thinned.step, 3u);
    const std::vector<double>& xs = grid.xs;
    const std::vector<double>& ys = grid.ys;
    EXPECT_EQ(thinned.grid.xs, (std::vector<double>{xs[0], xs[3], xs[6], xs[9], xs[10]}));
    EXPECT_EQ(thinned.grid.ys, (std::vector<double>{ys[0], ys[3], ys[6]}));
    EXPECT_EQ(thinned.grid.depths, (std::vector<double>{0, 3, 6, 9, 10, 300, 303, 306, 309, 310, 600, 603, 606, 609, 610}));

    EXPECT_EQ(thinGrid(grid, 77).step, 1u);
    // 4 million points: 1 in 4 keeps 501 x 501, just over 250 000; 1 in 5 keeps 401 x 401.
    EXPECT_EQ(thinningStep(2000, 2000, previewPointBudget), 5u);
}

// The three-quarter view as the bytes of a PNG file.
TEST(PreviewPicture, EncodesTheThreeQuarterViewAsPng)
{
    const std::string png = previewPng(deepSquare());
    const QByteArray bytes = QByteArray::fromStdString(png);
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    EXPECT_EQ(reader.format(), "png");
    const QImage picture = reader.read();
    EXPECT_EQ(picture.size(), QSize(1200, 900));
    EXPECT_FALSE(boundsWhere(picture.convertToFormat(QImage::Format_RGB32), isRelief).isEmpty());
}

}  // namespace
