#pragma once

// The grid points a surface triangle covers, row by row, and the plane
// through its corners. The simplifier looks for the point farthest from each
// triangle with these, and the report measures the written triangles with
// the same ones, so that the two find the very same distances.
//
// Points are grid indices (column, row); a triangle is three of them, not on
// one line. Everything here is exact integer arithmetic except the plane.

#include <algorithm>
#include <cmath>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

struct GridPoint {
    std::int64_t x, y;  // column, row
};

inline bool operator==(GridPoint a, GridPoint b) { return a.x == b.x && a.y == b.y; }

// A grid index's column and row, dividing by the width with one
// multiplication: exact for indices and widths below 2^32.
class GridIndexSplitter {
public:
    explicit GridIndexSplitter(std::uint64_t width) : width_(width), inverse_(~std::uint64_t(0) / width + 1) {}
    GridPoint operator()(std::uint32_t index) const
    {
        const auto row = static_cast<std::uint64_t>((static_cast<unsigned __int128>(index) * inverse_) >> 64);
        return {static_cast<std::int64_t>(index - row * width_), static_cast<std::int64_t>(row)};
    }

private:
    std::uint64_t width_, inverse_;  // the width is at least 2
};

// Twice the signed area of abc in grid indices: > 0 when c lies to the left
// of a->b with X to the right and Y down. Exact while columns x rows < 2^62.
inline std::int64_t orientation(GridPoint a, GridPoint b, GridPoint c)
{
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

// Where an edge crosses the rows of points, as floor(x) and the remainder
// over the edge's height, so that the walk down the triangle divides only
// once per edge.
class EdgeCrossing {
public:
    // From p to q, q below p; starting at row `y`.
    EdgeCrossing(GridPoint p, GridPoint q, std::int64_t y) : height_(q.y - p.y)
    {
        const std::int64_t dx = q.x - p.x;
        step_ = floorDivide(dx, height_);
        stepRest_ = dx - step_ * height_;
        const std::int64_t along = (y - p.y) * dx;
        const std::int64_t whole = along == 0 ? 0 : floorDivide(along, height_);  // a walk starts at p
        x_ = p.x + whole;
        rest_ = along - whole * height_;
    }
    void next()
    {
        x_ += step_;
        rest_ += stepRest_;
        if (rest_ >= height_) {
            rest_ -= height_;
            ++x_;
        }
    }
    std::int64_t floor() const { return x_; }
    std::int64_t ceil() const { return x_ + (rest_ != 0); }
    bool exact() const { return rest_ == 0; }

private:
    static std::int64_t floorDivide(std::int64_t a, std::int64_t b)
    {
        const std::int64_t q = a / b;
        return q - ((a % b != 0) && ((a < 0) != (b < 0)));
    }
    std::int64_t height_, step_, stepRest_, x_, rest_;
};

// The triangle's corners sorted by row, then column: the first is also the
// one with the smallest grid index, which the plane starts from.
struct SortedTriangle {
    GridPoint top, middle, bottom;
};

inline SortedTriangle sortedTriangle(GridPoint a, GridPoint b, GridPoint c)
{
    auto before = [](GridPoint p, GridPoint q) { return p.y < q.y || (p.y == q.y && p.x < q.x); };
    if (before(b, a))
        std::swap(a, b);
    if (before(c, b))
        std::swap(b, c);
    if (before(b, a))
        std::swap(a, b);
    return {a, b, c};
}

// Calls row(y, first, last, firstOnSide, lastOnSide, rowOnSide) for every row
// of grid points inside the closed triangle (first <= last), top to bottom.
// firstOnSide and lastOnSide say that the span's end point lies exactly on
// a side; rowOnSide that the whole row is a side. The triangle is not flat.
template <typename Row>
void forEachTriangleRow(const SortedTriangle& t, Row&& row)
{
    const GridPoint a = t.top, b = t.middle, c = t.bottom;
    // The middle corner to the right of the long side a-c: that side is the left one.
    const bool longOnLeft = orientation(a, b, c) > 0;
    EdgeCrossing longSide(a, c, a.y);
    auto walk = [&](EdgeCrossing shortSide, std::int64_t from, std::int64_t end) {
        for (std::int64_t y = from; y < end; ++y) {
            const EdgeCrossing& left = longOnLeft ? longSide : shortSide;
            const EdgeCrossing& right = longOnLeft ? shortSide : longSide;
            const std::int64_t first = left.ceil(), last = right.floor();
            if (first <= last)
                row(y, first, last, left.exact(), right.exact(), y == a.y && a.y == b.y);
            longSide.next();
            shortSide.next();
        }
    };
    if (a.y < b.y)
        walk(EdgeCrossing(a, b, a.y), a.y, b.y);
    if (b.y < c.y)
        walk(EdgeCrossing(b, c, b.y), b.y, c.y + 1);
    else  // a level bottom side: its row runs from b to c
        row(c.y, b.x, c.x, true, true, true);
}

// The plane through a triangle's corners in metres, taken from its first
// corner in grid order; a level triangle gives its corners' depth exactly.
struct SurfacePlane {
    double x0, y0, z0, slopeX, slopeY;

    SurfacePlane(const SortedTriangle& t, const double* xs, const double* ys, const double* depths,
                 std::uint64_t width)
    {
        auto z = [&](GridPoint p) { return depths[static_cast<std::uint64_t>(p.y) * width + p.x]; };
        x0 = xs[t.top.x];
        y0 = ys[t.top.y];
        z0 = z(t.top);
        const double x1 = xs[t.middle.x] - x0, y1 = ys[t.middle.y] - y0, z1 = z(t.middle) - z0;
        const double x2 = xs[t.bottom.x] - x0, y2 = ys[t.bottom.y] - y0, z2 = z(t.bottom) - z0;
        const double area = x1 * y2 - x2 * y1;
        slopeX = (z1 * y2 - z2 * y1) / area;
        slopeY = (z2 * x1 - z1 * x2) / area;
    }
    double rowStart(double y) const { return z0 + slopeY * (y - y0); }
    double at(double rowStart, double x) const { return rowStart + slopeX * (x - x0); }
};

// The largest |z - plane| along columns first..last of one row, `start`
// being the plane's rowStart there: the same operations as SurfacePlane::at,
// two columns at a time where the processor can.
inline double rowLargestError(const double* z, const double* xs, std::int64_t first, std::int64_t last,
                              const SurfacePlane& plane, double start)
{
    std::int64_t c = first;
    double largest = 0;
#if defined(__SSE2__)
    const __m128d base = _mm_set1_pd(start), slope = _mm_set1_pd(plane.slopeX), x0 = _mm_set1_pd(plane.x0);
    const __m128d magnitude = _mm_castsi128_pd(_mm_set1_epi64x(0x7FFFFFFFFFFFFFFF));
    __m128d m0 = _mm_setzero_pd(), m1 = _mm_setzero_pd();
    for (; c + 3 <= last; c += 4) {
        const __m128d a = _mm_add_pd(base, _mm_mul_pd(slope, _mm_sub_pd(_mm_loadu_pd(xs + c), x0)));
        const __m128d b = _mm_add_pd(base, _mm_mul_pd(slope, _mm_sub_pd(_mm_loadu_pd(xs + c + 2), x0)));
        m0 = _mm_max_pd(m0, _mm_and_pd(_mm_sub_pd(_mm_loadu_pd(z + c), a), magnitude));
        m1 = _mm_max_pd(m1, _mm_and_pd(_mm_sub_pd(_mm_loadu_pd(z + c + 2), b), magnitude));
    }
    double pair[2];
    _mm_storeu_pd(pair, _mm_max_pd(m0, m1));
    largest = std::max(pair[0], pair[1]);
#endif
    for (; c <= last; ++c)
        largest = std::max(largest, std::fabs(z[c] - plane.at(start, xs[c])));
    return largest;
}
