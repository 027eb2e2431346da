#include "surface_quadtree.h"

#include "mesh_layout.h"

#include <cmath>
#include <queue>
#include <utility>

namespace {

struct GridPoint {
    std::uint32_t column, row;
};

// A block of cells, given by the grid lines around it.
struct Block {
    std::uint32_t c0, r0, c1, r1;

    std::uint32_t columns() const { return c1 - c0; }
    std::uint32_t rows() const { return r1 - r0; }
    std::uint32_t midColumn() const { return (c0 + c1) / 2; }
    std::uint32_t midRow() const { return (r0 + r1) / 2; }
    // Only a block with a grid point inside it has a fan; the others are strips.
    bool hasFan() const { return columns() >= 2 && rows() >= 2; }
    bool canSplit() const { return columns() >= 2 || rows() >= 2; }
};

// Quarters, or halves across the long side of a strip.
int splitBlock(const Block& b, Block out[4])
{
    const std::uint32_t cm = b.midColumn(), rm = b.midRow();
    if (b.hasFan()) {
        out[0] = {b.c0, b.r0, cm, rm};
        out[1] = {cm, b.r0, b.c1, rm};
        out[2] = {b.c0, rm, cm, b.r1};
        out[3] = {cm, rm, b.c1, b.r1};
        return 4;
    }
    if (b.columns() >= 2) {
        out[0] = {b.c0, b.r0, cm, b.r1};
        out[1] = {cm, b.r0, b.c1, b.r1};
    } else {
        out[0] = {b.c0, b.r0, b.c1, rm};
        out[1] = {b.c0, rm, b.c1, b.r1};
    }
    return 2;
}

// The corners the pieces of a split block have and the block had not.
int splitCorners(const Block& b, GridPoint out[5])
{
    const std::uint32_t cm = b.midColumn(), rm = b.midRow();
    int n = 0;
    if (b.columns() >= 2) {
        out[n++] = {cm, b.r0};
        out[n++] = {cm, b.r1};
    }
    if (b.rows() >= 2) {
        out[n++] = {b.c0, rm};
        out[n++] = {b.c1, rm};
    }
    if (b.hasFan())
        out[n++] = {cm, rm};
    return n;
}

class SurfaceQuadtree {
public:
    explicit SurfaceQuadtree(const HeightGrid& grid);

    // Splits blocks, the one that strays most first, while the count allows.
    void refine(std::uint64_t maxTriangles);
    std::vector<std::uint32_t> triangles() const;

private:
    std::size_t index(std::uint32_t column, std::uint32_t row) const { return std::size_t(row) * width_ + column; }
    double depth(std::uint32_t column, std::uint32_t row) const { return grid_.depths[index(column, row)]; }
    bool kept(std::uint32_t column, std::uint32_t row) const { return kept_[index(column, row)] != 0; }

    double stray(const Block& b) const;
    double fanStray(const Block& b) const;
    double sideStray(GridPoint from, GridPoint to) const;
    void add(const Block& b);

    void addTriangle(std::vector<std::uint32_t>& out, GridPoint a, GridPoint b, GridPoint c) const;
    void addFan(std::vector<std::uint32_t>& out, const Block& b) const;
    void addStrip(std::vector<std::uint32_t>& out, const Block& b) const;
    void addOutlineOnly(std::vector<std::uint32_t>& out) const;
    template <typename AdvanceFirst>
    void stitch(std::vector<std::uint32_t>& out, const std::vector<GridPoint>& first,
                const std::vector<GridPoint>& second, AdvanceFirst advanceFirst) const;

    const HeightGrid& grid_;
    const std::uint32_t width_;
    const bool positiveInGrid_;  // the facing the triangles need, in grid indices
    std::vector<std::uint8_t> kept_;  // the blocks' corners and the outline's points
    std::vector<Block> blocks_;
    std::vector<bool> split_;
    std::priority_queue<std::pair<double, std::uint32_t>> worst_;
    bool outlineOnly_ = false;
};

SurfaceQuadtree::SurfaceQuadtree(const HeightGrid& grid)
    : grid_(grid),
      width_(static_cast<std::uint32_t>(grid.xs.size())),
      positiveInGrid_(windingReversed(grid.xs, grid.ys)),
      kept_(grid.depths.size(), 0)
{
    for (std::uint64_t i : gridOutline(grid.cellColumns(), grid.cellRows()))
        kept_[i] = 1;
}

void SurfaceQuadtree::add(const Block& b)
{
    blocks_.push_back(b);
    split_.push_back(false);
    if (b.canSplit())
        worst_.emplace(stray(b), static_cast<std::uint32_t>(blocks_.size() - 1));
}

void SurfaceQuadtree::refine(std::uint64_t maxTriangles)
{
    // A triangulated disc has 2 V - B - 2 triangles for V vertices, B of them
    // on its border: here the kept points and one middle point per fan.
    const std::int64_t budget = static_cast<std::int64_t>(maxTriangles);
    const std::int64_t border = 2 * (std::int64_t(grid_.cellColumns()) + std::int64_t(grid_.cellRows()));
    const Block whole{0, 0, static_cast<std::uint32_t>(grid_.cellColumns()),
                      static_cast<std::uint32_t>(grid_.cellRows())};
    std::int64_t count = border - 2 + (whole.hasFan() ? 2 : 0);
    if (count > budget) {
        // Not even the fan of the whole: the outline's polygon alone.
        outlineOnly_ = true;
        return;
    }
    add(whole);
    while (!worst_.empty() && worst_.top().first > 0) {
        const std::uint32_t at = worst_.top().second;
        const Block b = blocks_[at];
        GridPoint corners[5];
        const int cornerCount = splitCorners(b, corners);
        Block pieces[4];
        const int pieceCount = splitBlock(b, pieces);
        std::int64_t more = b.hasFan() ? -2 : 0;
        for (int i = 0; i < cornerCount; ++i)
            more += kept(corners[i].column, corners[i].row) ? 0 : 2;
        for (int i = 0; i < pieceCount; ++i)
            more += pieces[i].hasFan() ? 2 : 0;
        // Splits only ever add triangles: the first that does not fit ends the prefix.
        if (count + more > budget)
            break;
        worst_.pop();
        count += more;
        for (int i = 0; i < cornerCount; ++i)
            kept_[index(corners[i].column, corners[i].row)] = 1;
        split_[at] = true;
        for (int i = 0; i < pieceCount; ++i)
            add(pieces[i]);
    }
}

// How far the block's points stray, vertically, from the surface its
// corners (and its middle, for a fan) alone would give.
double SurfaceQuadtree::stray(const Block& b) const
{
    if (b.hasFan())
        return fanStray(b);
    if (b.columns() == 1)
        return std::max(sideStray({b.c0, b.r0}, {b.c0, b.r1}), sideStray({b.c1, b.r0}, {b.c1, b.r1}));
    return std::max(sideStray({b.c0, b.r0}, {b.c1, b.r0}), sideStray({b.c0, b.r1}, {b.c1, b.r1}));
}

// Along a row or a column of points, from the straight line between its ends.
double SurfaceQuadtree::sideStray(GridPoint from, GridPoint to) const
{
    const std::size_t first = index(from.column, from.row), last = index(to.column, to.row);
    const std::size_t step = from.row == to.row ? 1 : width_;
    const std::size_t n = (last - first) / step;
    const double start = grid_.depths[first], slope = (grid_.depths[last] - start) / double(n);
    double stray = 0;
    for (std::size_t k = 1; k < n; ++k)
        stray = std::max(stray, std::fabs(grid_.depths[first + k * step] - (start + slope * double(k))));
    return stray;
}

// The four triangles from the middle to the sides, each taken row by row:
// on a row, the triangles of the left and right sides hold the columns
// outside the two diagonals, the top's or bottom's those between.
double SurfaceQuadtree::fanStray(const Block& b) const
{
    const std::uint32_t cm = b.midColumn(), rm = b.midRow();
    const double middle = depth(cm, rm);
    const double topLeft = depth(b.c0, b.r0), topRight = depth(b.c1, b.r0);
    const double bottomLeft = depth(b.c0, b.r1), bottomRight = depth(b.c1, b.r1);
    const double topSlope = (topRight - topLeft) / b.columns(), bottomSlope = (bottomRight - bottomLeft) / b.columns();
    const double leftSlope = (bottomLeft - topLeft) / b.rows(), rightSlope = (bottomRight - topRight) / b.rows();
    // Each side's line where the middle row or column meets it.
    const double topAtMiddle = topLeft + topSlope * (cm - b.c0), bottomAtMiddle = bottomLeft + bottomSlope * (cm - b.c0);
    const double leftAtMiddle = topLeft + leftSlope * (rm - b.r0), rightAtMiddle = topRight + rightSlope * (rm - b.r0);
    const double leftHalf = cm - b.c0, rightHalf = b.c1 - cm, topHalf = rm - b.r0, bottomHalf = b.r1 - rm;
    const double leftStep = (leftAtMiddle - middle) / leftHalf, rightStep = (rightAtMiddle - middle) / rightHalf;
    double stray = 0;
    for (std::uint32_t r = b.r0; r <= b.r1; ++r) {
        const bool upper = r <= rm;
        const double v = upper ? (rm - r) / topHalf : (r - rm) / bottomHalf;
        const double dr = double(r) - double(rm);
        const double sideBase = middle + v * ((upper ? topAtMiddle : bottomAtMiddle) - middle);
        const double sideSlope = upper ? topSlope : bottomSlope;
        const std::uint32_t low = cm - static_cast<std::uint32_t>(v * leftHalf);
        const std::uint32_t high = cm + static_cast<std::uint32_t>(v * rightHalf);
        const double* row = &grid_.depths[index(0, r)];
        const double leftBase = middle + dr * leftSlope, rightBase = middle + dr * rightSlope;
        for (std::uint32_t c = b.c0; c < low; ++c)
            stray = std::max(stray, std::fabs(row[c] - (leftBase + double(cm - c) * leftStep)));
        for (std::uint32_t c = low; c <= high; ++c)
            stray = std::max(stray, std::fabs(row[c] - (sideBase + (double(c) - double(cm)) * sideSlope)));
        for (std::uint32_t c = high + 1; c <= b.c1; ++c)
            stray = std::max(stray, std::fabs(row[c] - (rightBase + double(c - cm) * rightStep)));
    }
    return stray;
}

void SurfaceQuadtree::addTriangle(std::vector<std::uint32_t>& out, GridPoint a, GridPoint b, GridPoint c) const
{
    const std::int64_t facing =
        (std::int64_t(b.column) - a.column) * (std::int64_t(c.row) - a.row) -
        (std::int64_t(b.row) - a.row) * (std::int64_t(c.column) - a.column);
    if ((facing > 0) != positiveInGrid_)
        std::swap(b, c);
    out.insert(out.end(), {static_cast<std::uint32_t>(index(a.column, a.row)),
                           static_cast<std::uint32_t>(index(b.column, b.row)),
                           static_cast<std::uint32_t>(index(c.column, c.row))});
}

// From the middle to every kept point around the block, in turn.
void SurfaceQuadtree::addFan(std::vector<std::uint32_t>& out, const Block& b) const
{
    std::vector<GridPoint> around;
    for (std::uint32_t c = b.c0; c < b.c1; ++c)
        if (kept(c, b.r0))
            around.push_back({c, b.r0});
    for (std::uint32_t r = b.r0; r < b.r1; ++r)
        if (kept(b.c1, r))
            around.push_back({b.c1, r});
    for (std::uint32_t c = b.c1; c > b.c0; --c)
        if (kept(c, b.r1))
            around.push_back({c, b.r1});
    for (std::uint32_t r = b.r1; r > b.r0; --r)
        if (kept(b.c0, r))
            around.push_back({b.c0, r});
    const GridPoint middle{b.midColumn(), b.midRow()};
    for (std::size_t i = 0; i < around.size(); ++i)
        addTriangle(out, middle, around[i], around[(i + 1) % around.size()]);
}

// Triangles between two chains of points, from the segment joining their
// first points to the one joining their last: each has two consecutive
// points of one chain and one of the other.
template <typename AdvanceFirst>
void SurfaceQuadtree::stitch(std::vector<std::uint32_t>& out, const std::vector<GridPoint>& first,
                             const std::vector<GridPoint>& second, AdvanceFirst advanceFirst) const
{
    std::size_t i = 0, j = 0;
    while (i + 1 < first.size() || j + 1 < second.size()) {
        if (j + 1 == second.size() || (i + 1 < first.size() && advanceFirst(i, j))) {
            addTriangle(out, first[i], first[i + 1], second[j]);
            ++i;
        } else {
            addTriangle(out, first[i], second[j], second[j + 1]);
            ++j;
        }
    }
}

// Between the two long sides, the nearer next point first.
void SurfaceQuadtree::addStrip(std::vector<std::uint32_t>& out, const Block& b) const
{
    const bool upright = b.columns() == 1;
    std::vector<GridPoint> first, second;
    if (upright) {
        for (std::uint32_t r = b.r0; r <= b.r1; ++r) {
            if (kept(b.c0, r))
                first.push_back({b.c0, r});
            if (kept(b.c1, r))
                second.push_back({b.c1, r});
        }
    } else {
        for (std::uint32_t c = b.c0; c <= b.c1; ++c) {
            if (kept(c, b.r0))
                first.push_back({c, b.r0});
            if (kept(c, b.r1))
                second.push_back({c, b.r1});
        }
    }
    stitch(out, first, second, [&](std::size_t i, std::size_t j) {
        return upright ? first[i + 1].row <= second[j + 1].row : first[i + 1].column <= second[j + 1].column;
    });
}

// The fewest triangles with every outline point: the chain up the left side
// and along the top stitched to the one along the bottom and up the right.
// They meet at the bottom-left and top-right corners; the first chain moves
// first from the one and last onto the other, so that no triangle has its
// three points on one side.
void SurfaceQuadtree::addOutlineOnly(std::vector<std::uint32_t>& out) const
{
    const std::uint32_t columns = static_cast<std::uint32_t>(grid_.cellColumns());
    const std::uint32_t rows = static_cast<std::uint32_t>(grid_.cellRows());
    std::vector<GridPoint> first, second;
    for (std::uint32_t r = rows + 1; r-- > 0;)
        first.push_back({0, r});
    for (std::uint32_t c = 1; c <= columns; ++c)
        first.push_back({c, 0});
    for (std::uint32_t c = 1; c <= columns; ++c)
        second.push_back({c, rows});
    for (std::uint32_t r = rows; r-- > 1;)
        second.push_back({columns, r});
    const std::size_t firstSteps = first.size() - 1, secondSteps = second.size() - 1;
    stitch(out, first, second, [&](std::size_t i, std::size_t j) {
        if (i == 0)
            return true;
        if (i + 2 == first.size())
            return false;
        return i * secondSteps <= j * firstSteps;
    });
}

std::vector<std::uint32_t> SurfaceQuadtree::triangles() const
{
    std::vector<std::uint32_t> out;
    if (outlineOnly_) {
        addOutlineOnly(out);
        return out;
    }
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
        if (split_[i])
            continue;
        if (blocks_[i].hasFan())
            addFan(out, blocks_[i]);
        else
            addStrip(out, blocks_[i]);
    }
    return out;
}

}  // namespace

std::vector<std::uint32_t> quadtreeSurface(const HeightGrid& grid, std::uint64_t maxTriangles)
{
    SurfaceQuadtree tree(grid);
    tree.refine(maxTriangles);
    return tree.triangles();
}
