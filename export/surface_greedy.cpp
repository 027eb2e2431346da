#include "surface_greedy.h"

#include "alongside.h"
#include "mesh_layout.h"
#include "surface_raster.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <utility>

namespace {

constexpr std::uint32_t none = std::numeric_limits<std::uint32_t>::max();

// Half-edges are numbered three per triangle; the one numbered e runs from
// the triangle's corner e to the next one, counterclockwise (positive
// orientation() in grid indices).
inline std::uint32_t nextEdge(std::uint32_t e) { return e % 3 == 2 ? e - 2 : e + 1; }
inline std::uint32_t previousEdge(std::uint32_t e) { return e % 3 == 0 ? e + 2 : e - 1; }

// The rectangle of grid lines one mesh covers. Every
// point of its sides is kept, except on a side shared with another mesh
// (`seamColumn`), where only `seamRows` are, top and bottom included.
struct Region {
    std::int64_t left, top, right, bottom;
    std::int64_t seamColumn = -1;  // left or right, or -1
    std::vector<std::int64_t> seamRows;
};

class GreedyMesh {
public:
    // `floor`: no point that near the surface is worth a vertex.
    GreedyMesh(const HeightGrid& grid, double floor, Region region, const InsertionWatch* watch = nullptr);

    void refine(std::uint64_t maxTriangles);
    bool stopped() const { return stopped_; }
    // The triangles facing the picture; the mesh is spent.
    std::vector<std::uint32_t> takeTriangles();

private:
    GridPoint point(std::uint32_t v) const { return gridPoint_(v); }
    std::uint32_t triangleCount() const { return static_cast<std::uint32_t>(corner_.size() / 3); }
    std::uint32_t addTriangle();
    void link(std::uint32_t e, std::uint32_t twin);
    void setTriangle(std::uint32_t t, std::uint32_t a, std::uint32_t b, std::uint32_t c);
    bool insideCircle(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) const;

    void startFromCorners();
    void insertRestOfOutline();
    void insertWorst(std::uint64_t largest);
    bool keepGoing(std::uint64_t largest);
    void rescanChanged();
    bool onOutline(GridPoint p) const
    {
        return p.x == region_.left || p.y == region_.top || p.x == region_.right || p.y == region_.bottom;
    }
    std::size_t seamIndex(std::int64_t row) const;
    std::size_t outlinePosition(std::uint32_t v) const;
    void keepHullEdge(std::uint32_t e);
    void splitHullEdge(std::uint32_t e, std::uint32_t p);
    void splitTriangle(std::uint32_t t, std::uint32_t p);
    void splitEdge(std::uint32_t e, std::uint32_t p);
    void insert(std::uint32_t t, std::uint32_t p);
    void legalize(std::uint32_t e);

    double scan(std::uint32_t t);
    void heapUp(std::size_t at);
    void heapDown(std::size_t at);
    void heapPlace(std::uint32_t t, double error);

    const HeightGrid& grid_;
    const std::uint64_t width_;
    const GridIndexSplitter gridPoint_;
    const Region region_;
    const double floor_;
    // The paraboloid the in-circle test lifts points onto: p x² + q y², so
    // that Delaunay's empty circles are circles in metres, not grid steps.
    std::int64_t liftX_ = 1, liftY_ = 1;

    std::vector<std::uint32_t> corner_;     // grid point where each half-edge starts
    std::vector<std::uint32_t> twin_;       // the opposite half-edge, or none on the outline
    std::vector<std::uint32_t> candidate_;  // per triangle: its farthest grid point, or none
    struct Entry {
        double error;  // the candidate's distance, or -1
        std::uint32_t triangle;
    };
    std::vector<Entry> heap_;               // triangles, farthest candidate first

    const InsertionWatch* watch_;
    std::chrono::steady_clock::time_point watched_{};
    double firstError_ = 0;  // the farthest point when the watch was first asked
    bool stopped_ = false;
    std::vector<std::uint32_t> heapAt_;     // per triangle: its place in heap_
    std::vector<std::uint32_t> changed_;    // triangles the insertion under way rewrote
    std::vector<double> errors_;            // their candidates' distances, as scanned
    std::vector<std::uint32_t> toCheck_;    // half-edges whose Delaunay test is pending
    std::vector<std::uint64_t> outline_;    // the region's side points it keeps, in a cycle
    std::vector<std::uint32_t> hullEdge_;   // per outline point: the hull edge from it, or none while it is out
    std::uint64_t outlineLeft_ = 0;         // outline points not in yet
};

GreedyMesh::GreedyMesh(const HeightGrid& grid, double floor, Region region, const InsertionWatch* watch)
    : grid_(grid), width_(grid.xs.size()), gridPoint_(width_), region_(std::move(region)), floor_(floor),
      watch_(watch)
{
    // The grid's steps are even along each axis; squared ratio of X's to Y's
    // as a fraction over 256 (exact when they are equal, the usual case).
    const double stepX = std::fabs(grid.xs.back() - grid.xs.front()) / double(grid.cellColumns());
    const double stepY = std::fabs(grid.ys.back() - grid.ys.front()) / double(grid.cellRows());
    const double ratio = (stepX / stepY) * (stepX / stepY);
    if (std::isfinite(ratio) && ratio > 0 && std::fabs(ratio - 1) > 1e-6) {
        if (ratio > 1) {
            liftY_ = 256;
            liftX_ = std::clamp<std::int64_t>(std::llround(std::min(ratio, 1e6) * 256), 1, 65536);
        } else {
            liftX_ = 256;
            liftY_ = std::clamp<std::int64_t>(std::llround(std::min(1 / ratio, 1e6) * 256), 1, 65536);
        }
    }
    startFromCorners();
}

std::uint32_t GreedyMesh::addTriangle()
{
    const std::uint32_t t = triangleCount();
    corner_.resize(corner_.size() + 3);
    twin_.resize(twin_.size() + 3, none);
    changed_.push_back(t);
    return t;
}

void GreedyMesh::link(std::uint32_t e, std::uint32_t twin)
{
    twin_[e] = twin;
    if (twin != none)
        twin_[twin] = e;
}

void GreedyMesh::setTriangle(std::uint32_t t, std::uint32_t a, std::uint32_t b, std::uint32_t c)
{
    corner_[3 * t] = a;
    corner_[3 * t + 1] = b;
    corner_[3 * t + 2] = c;
}

// Whether d lies strictly inside the circle through a, b, c (positively
// oriented), in exact integer arithmetic. With columns x rows < 2^32 and
// lifts up to 2^16 every product stays below 2^118.
bool GreedyMesh::insideCircle(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) const
{
    const GridPoint pa = point(a), pb = point(b), pc = point(c), pd = point(d);
    using Wide = __int128;
    const std::int64_t adx = pa.x - pd.x, ady = pa.y - pd.y;
    const std::int64_t bdx = pb.x - pd.x, bdy = pb.y - pd.y;
    const std::int64_t cdx = pc.x - pd.x, cdy = pc.y - pd.y;
    auto lift = [&](std::int64_t dx, std::int64_t dy) {
        return Wide(liftX_) * (Wide(dx) * dx) + Wide(liftY_) * (Wide(dy) * dy);
    };
    const Wide al = lift(adx, ady), bl = lift(bdx, bdy), cl = lift(cdx, cdy);
    const Wide det = Wide(adx) * (bdy * cl - cdy * bl) - Wide(ady) * (bdx * cl - cdx * bl) +
                     al * (Wide(bdx) * cdy - Wide(cdx) * bdy);
    return det > 0;
}

// The two triangles of the region's corners. The rest of its outline is
// kept too, but goes in only when the greedy choice takes it or at the end:
// the outline's own triangulation would be long slivers across the grid,
// each insertion into them rescanning much of it.
void GreedyMesh::startFromCorners()
{
    // The region's sides in a cycle, as gridOutline runs: top row left to
    // right, right side down, bottom row right to left, left side up.
    const Region& r = region_;
    auto index = [&](std::int64_t column, std::int64_t row) { return std::uint64_t(row) * width_ + std::uint64_t(column); };
    std::size_t corners[4];
    corners[0] = outline_.size();
    for (std::int64_t c = r.left; c < r.right; ++c)
        outline_.push_back(index(c, r.top));
    corners[1] = outline_.size();
    if (r.seamColumn == r.right)
        for (std::size_t k = 0; k + 1 < r.seamRows.size(); ++k)
            outline_.push_back(index(r.right, r.seamRows[k]));
    else
        for (std::int64_t row = r.top; row < r.bottom; ++row)
            outline_.push_back(index(r.right, row));
    corners[2] = outline_.size();
    for (std::int64_t c = r.right; c > r.left; --c)
        outline_.push_back(index(c, r.bottom));
    corners[3] = outline_.size();
    if (r.seamColumn == r.left)
        for (std::size_t k = r.seamRows.size() - 1; k > 0; --k)
            outline_.push_back(index(r.left, r.seamRows[k]));
    else
        for (std::int64_t row = r.bottom; row > r.top; --row)
            outline_.push_back(index(r.left, row));

    auto vertex = [&](std::size_t position) { return static_cast<std::uint32_t>(outline_[position]); };
    hullEdge_.assign(outline_.size(), none);
    outlineLeft_ = outline_.size() - 4;
    const std::uint32_t t0 = addTriangle(), t1 = addTriangle();
    setTriangle(t0, vertex(corners[0]), vertex(corners[1]), vertex(corners[2]));
    setTriangle(t1, vertex(corners[0]), vertex(corners[2]), vertex(corners[3]));
    link(2, 3);
    hullEdge_[corners[0]] = 0;
    hullEdge_[corners[1]] = 1;
    hullEdge_[corners[2]] = 4;
    hullEdge_[corners[3]] = 5;
    changed_.clear();
}

// The outline points the greedy choice left out, in a random order, each on
// the hull edge between its neighbours already in. Those neighbours come
// from taking the points out of the outline's cycle in the reverse order
// (Chew's trick for convex polygons): no search, and the random order keeps
// the expected flips per point constant.
void GreedyMesh::insertRestOfOutline()
{
    const std::size_t n = outline_.size();
    std::vector<std::uint32_t> order;
    order.reserve(outlineLeft_);
    for (std::size_t i = 0; i < n; ++i)
        if (hullEdge_[i] == none)
            order.push_back(static_cast<std::uint32_t>(i));
    std::uint64_t seed = 0x9E3779B97F4A7C15u;  // fixed: the same grid always gives the same mesh
    for (std::size_t i = order.size(); i > 1; --i) {
        seed ^= seed << 13;
        seed ^= seed >> 7;
        seed ^= seed << 17;
        std::swap(order[i - 1], order[seed % i]);
    }
    std::vector<std::uint32_t> before(n), after(n);
    for (std::size_t i = 0; i < n; ++i) {
        before[i] = static_cast<std::uint32_t>((i + n - 1) % n);
        after[i] = static_cast<std::uint32_t>((i + 1) % n);
    }
    for (std::size_t i = order.size(); i-- > 0;) {
        const std::uint32_t p = order[i];
        after[before[p]] = after[p];
        before[after[p]] = before[p];
    }
    // Taking p out left its own links as they were: its neighbours at that time.
    for (std::uint32_t p : order)
        splitHullEdge(hullEdge_[before[p]], static_cast<std::uint32_t>(outline_[p]));
    outlineLeft_ = 0;
}

std::size_t GreedyMesh::seamIndex(std::int64_t row) const
{
    return std::size_t(std::lower_bound(region_.seamRows.begin(), region_.seamRows.end(), row) -
                       region_.seamRows.begin());
}

std::size_t GreedyMesh::outlinePosition(std::uint32_t v) const
{
    const Region& r = region_;
    const GridPoint p = point(v);
    const std::int64_t across = r.right - r.left, down = r.bottom - r.top;
    const std::int64_t rightSide = r.seamColumn == r.right ? std::int64_t(r.seamRows.size()) - 1 : down;
    if (p.y == r.top && p.x < r.right)
        return std::size_t(p.x - r.left);
    if (p.x == r.right && p.y < r.bottom)
        return std::size_t(across + (r.seamColumn == r.right ? std::int64_t(seamIndex(p.y)) : p.y - r.top));
    if (p.y == r.bottom && p.x > r.left)
        return std::size_t(across + rightSide + (r.right - p.x));
    const std::int64_t up = r.seamColumn == r.left ? std::int64_t(r.seamRows.size()) - 1 - std::int64_t(seamIndex(p.y))
                                                   : r.bottom - p.y;
    return std::size_t(2 * across + rightSide + up);
}

// A hull edge is now half-edge e.
void GreedyMesh::keepHullEdge(std::uint32_t e)
{
    hullEdge_[outlinePosition(corner_[e])] = e;
}

// p lies on the hull edge e, between its ends.
void GreedyMesh::splitHullEdge(std::uint32_t e, std::uint32_t p)
{
    const std::uint32_t t = e / 3, en = nextEdge(e), ep = previousEdge(e);
    const std::uint32_t from = corner_[e], to = corner_[en], across = corner_[ep];
    const std::uint32_t toAcross = twin_[en], acrossFrom = twin_[ep];
    const std::uint32_t u = addTriangle();
    setTriangle(t, from, p, across);
    setTriangle(u, p, to, across);
    link(3 * t, none);
    link(3 * t + 1, 3 * u + 2);
    link(3 * t + 2, acrossFrom);
    link(3 * u, none);
    link(3 * u + 1, toAcross);
    keepHullEdge(3 * t);
    keepHullEdge(3 * u);
    --outlineLeft_;
    if (acrossFrom == none)
        keepHullEdge(3 * t + 2);
    if (toAcross == none)
        keepHullEdge(3 * u + 1);
    changed_.push_back(t);
    legalize(3 * t + 2);
    legalize(3 * u + 1);
}

// p strictly inside triangle t: three triangles around it.
void GreedyMesh::splitTriangle(std::uint32_t t, std::uint32_t p)
{
    const std::uint32_t a = corner_[3 * t], b = corner_[3 * t + 1], c = corner_[3 * t + 2];
    const std::uint32_t ab = twin_[3 * t], bc = twin_[3 * t + 1], ca = twin_[3 * t + 2];
    const std::uint32_t u = addTriangle(), w = addTriangle();
    setTriangle(t, a, b, p);
    setTriangle(u, b, c, p);
    setTriangle(w, c, a, p);
    link(3 * t, ab);
    link(3 * t + 1, 3 * u + 2);
    link(3 * t + 2, 3 * w + 1);
    link(3 * u, bc);
    link(3 * u + 1, 3 * w + 2);
    link(3 * w, ca);
    if (bc == none)
        keepHullEdge(3 * u);
    if (ca == none)
        keepHullEdge(3 * w);
    changed_.push_back(t);
    legalize(3 * t);
    legalize(3 * u);
    legalize(3 * w);
}

// p on the inner edge e, between its ends: four triangles around it.
void GreedyMesh::splitEdge(std::uint32_t e, std::uint32_t p)
{
    const std::uint32_t f = twin_[e];
    const std::uint32_t t = e / 3, v = f / 3;
    const std::uint32_t a = corner_[e], b = corner_[nextEdge(e)], c = corner_[previousEdge(e)];
    const std::uint32_t d = corner_[previousEdge(f)];
    const std::uint32_t bc = twin_[nextEdge(e)], ca = twin_[previousEdge(e)];
    const std::uint32_t ad = twin_[nextEdge(f)], db = twin_[previousEdge(f)];
    const std::uint32_t u = addTriangle(), w = addTriangle();
    setTriangle(t, p, b, c);
    setTriangle(u, p, c, a);
    setTriangle(v, p, a, d);
    setTriangle(w, p, d, b);
    link(3 * t, 3 * w + 2);
    link(3 * t + 1, bc);
    link(3 * t + 2, 3 * u);
    link(3 * u + 1, ca);
    link(3 * u + 2, 3 * v);
    link(3 * v + 1, ad);
    link(3 * v + 2, 3 * w);
    link(3 * w + 1, db);
    for (const std::uint32_t moved : {3 * t + 1, 3 * u + 1, 3 * v + 1, 3 * w + 1})
        if (twin_[moved] == none)
            keepHullEdge(moved);
    changed_.push_back(t);
    changed_.push_back(v);
    legalize(3 * t + 1);
    legalize(3 * u + 1);
    legalize(3 * v + 1);
    legalize(3 * w + 1);
}

// p, a grid point of the closed triangle t and none of its corners; on the
// outline, it lies on a hull edge.
void GreedyMesh::insert(std::uint32_t t, std::uint32_t p)
{
    // The neighbours the flips are about to read, asked for together.
    for (std::uint32_t e = 3 * t; e < 3 * t + 3; ++e)
        if (twin_[e] != none) {
            __builtin_prefetch(&corner_[twin_[e]]);
            __builtin_prefetch(&twin_[twin_[e]]);
        }
    const GridPoint at = point(p);
    for (std::uint32_t e = 3 * t; e < 3 * t + 3; ++e)
        if (orientation(point(corner_[e]), point(corner_[nextEdge(e)]), at) == 0) {
            if (twin_[e] == none)
                splitHullEdge(e, p);
            else
                splitEdge(e, p);
            return;
        }
    splitTriangle(t, p);
}

// Lawson's flips: the edge e, opposite the point just inserted, and those
// behind it, until every circle is empty again.
void GreedyMesh::legalize(std::uint32_t e)
{
    toCheck_.push_back(e);
    while (!toCheck_.empty()) {
        const std::uint32_t a = toCheck_.back();
        toCheck_.pop_back();
        const std::uint32_t b = twin_[a];
        if (b == none)
            continue;
        const std::uint32_t al = nextEdge(a), ar = previousEdge(a);
        const std::uint32_t br = nextEdge(b), bl = previousEdge(b);
        const std::uint32_t p0 = corner_[ar], pr = corner_[a], pl = corner_[al], p1 = corner_[bl];
        if (!insideCircle(pr, pl, p0, p1))
            continue;
        // Never true of a Delaunay triangulation, but a flip must not fold.
        if (orientation(point(p1), point(pl), point(p0)) <= 0 || orientation(point(p0), point(pr), point(p1)) <= 0)
            continue;
        corner_[a] = p1;
        corner_[b] = p0;
        const std::uint32_t hbl = twin_[bl], har = twin_[ar];
        link(a, hbl);
        link(b, har);
        link(ar, bl);
        if (hbl == none)
            keepHullEdge(a);
        if (har == none)
            keepHullEdge(b);
        changed_.push_back(a / 3);
        changed_.push_back(b / 3);
        toCheck_.push_back(br);
        toCheck_.push_back(a);
    }
}

// The grid point of t farthest from its plane, its corners aside; its distance.
double GreedyMesh::scan(std::uint32_t t)
{
    const SortedTriangle s =
        sortedTriangle(point(corner_[3 * t]), point(corner_[3 * t + 1]), point(corner_[3 * t + 2]));
    const double* xs = grid_.xs.data();
    const SurfacePlane plane(s, xs, grid_.ys.data(), grid_.depths.data(), width_);
    double farthest = floor_;
    std::uint64_t found = none;
    forEachTriangleRow(s, [&](std::int64_t y, std::int64_t first, std::int64_t last, bool, bool, bool) {
        for (const GridPoint& corner : {s.top, s.middle, s.bottom})
            if (corner.y == y) {
                if (corner.x == first)
                    ++first;
                else if (corner.x == last)
                    --last;
            }
        // The other mesh's side: its points are the seam's to keep, or within the bound already.
        if (first == region_.seamColumn)
            ++first;
        if (last == region_.seamColumn)
            --last;
        if (first > last)
            return;
        const double start = plane.rowStart(grid_.ys[y]);
        const double* z = &grid_.depths[std::uint64_t(y) * width_];
        const double m = rowLargestError(z, xs, first, last, plane, start);
        if (m <= farthest)
            return;
        std::int64_t c = first;
        for (; std::fabs(z[c] - plane.at(start, xs[c])) != m; ++c) {
        }
        farthest = m;
        found = std::uint64_t(y) * width_ + std::uint64_t(c);
    });
    candidate_[t] = static_cast<std::uint32_t>(found);
    return found == none ? -1.0 : farthest;
}

void GreedyMesh::heapUp(std::size_t at)
{
    const Entry moving = heap_[at];
    while (at > 0) {
        const std::size_t parent = (at - 1) / 4;
        if (!(moving.error > heap_[parent].error))
            break;
        heap_[at] = heap_[parent];
        heapAt_[heap_[at].triangle] = static_cast<std::uint32_t>(at);
        at = parent;
    }
    heap_[at] = moving;
    heapAt_[moving.triangle] = static_cast<std::uint32_t>(at);
}

void GreedyMesh::heapDown(std::size_t at)
{
    const Entry moving = heap_[at];
    const std::size_t n = heap_.size();
    for (;;) {
        const std::size_t first = 4 * at + 1;
        if (first >= n)
            break;
        std::size_t child = first;
        for (std::size_t k = first + 1; k < std::min(first + 4, n); ++k)
            if (heap_[k].error > heap_[child].error)
                child = k;
        if (!(heap_[child].error > moving.error))
            break;
        heap_[at] = heap_[child];
        heapAt_[heap_[at].triangle] = static_cast<std::uint32_t>(at);
        at = child;
    }
    heap_[at] = moving;
    heapAt_[moving.triangle] = static_cast<std::uint32_t>(at);
}

// t has just been scanned: into the heap, or to its new place there; out of
// it when no point of t is worth inserting any more.
void GreedyMesh::heapPlace(std::uint32_t t, double error)
{
    const std::size_t at = heapAt_[t];
    if (error < 0) {
        if (at == none)
            return;
        heapAt_[t] = none;
        const Entry last = heap_.back();
        heap_.pop_back();
        if (at == heap_.size())
            return;
        heap_[at] = last;
        heapAt_[last.triangle] = static_cast<std::uint32_t>(at);
        heapUp(at);
        heapDown(heapAt_[last.triangle]);
        return;
    }
    if (at == none) {
        heap_.push_back({error, t});
        heapUp(heap_.size() - 1);
        return;
    }
    const double before = heap_[at].error;
    heap_[at].error = error;
    if (error > before)
        heapUp(at);
    else
        heapDown(at);
}

void GreedyMesh::refine(std::uint64_t maxTriangles)
{
    // Half-edge numbers must fit in 32 bits.
    const std::uint64_t largest = std::min<std::uint64_t>(maxTriangles == 0 ? ~std::uint64_t(0) : maxTriangles,
                                                          (none - 3) / 3);
    const std::uint32_t count = triangleCount();
    candidate_.assign(count, none);
    heapAt_.assign(count, none);
    for (std::uint32_t t = 0; t < count; ++t)
        heapPlace(t, scan(t));
    // Once the mesh has twice the outline's own triangles, the fans between
    // the outline's points and the nearest inner ones are short, and the
    // rest of the outline goes in for the greedy choice to see it.
    insertWorst(std::min<std::uint64_t>(largest, 2 * outline_.size()));
    if (stopped_)
        return;
    insertRestOfOutline();
    rescanChanged();
    insertWorst(largest);
}

// Greedy insertion while the budget allows: a point inside adds two
// triangles, one on the outline a single one that the outline would have
// cost anyway.
void GreedyMesh::insertWorst(std::uint64_t largest)
{
    for (std::uint32_t inserted = 1; !heap_.empty(); ++inserted) {
        const std::uint32_t t = heap_.front().triangle, p = candidate_[t];
        if (!onOutline(point(p)) && std::uint64_t(triangleCount()) + outlineLeft_ + 2 > largest)
            break;
        insert(t, p);
        rescanChanged();
        if (inserted % 1024 == 0 && watch_ && !keepGoing(largest))
            break;
    }
}

// The watch asked at most every 50 ms: the share of the budget used, or
// under a bound alone how far the farthest point came down towards it, on
// a logarithmic scale.
bool GreedyMesh::keepGoing(std::uint64_t largest)
{
    const auto now = std::chrono::steady_clock::now();
    if (now - watched_ < std::chrono::milliseconds(50) || heap_.empty())
        return true;
    watched_ = now;
    const double error = heap_.front().error;
    if (firstError_ == 0)
        firstError_ = error;
    double done = 0;
    if (largest < (none - 3) / 3)
        done = double(triangleCount()) / double(largest);
    else if (firstError_ > floor_ && error > 0)
        done = std::log(firstError_ / error) / std::log(firstError_ / floor_);
    stopped_ = !(*watch_)(std::clamp(done, 0.0, 1.0));
    return !stopped_;
}

void GreedyMesh::rescanChanged()
{
    const std::uint32_t count = triangleCount();
    candidate_.resize(count, none);
    heapAt_.resize(count, none);
    std::sort(changed_.begin(), changed_.end());
    changed_.erase(std::unique(changed_.begin(), changed_.end()), changed_.end());
    // The rows of the small triangles asked for all at once, so that their
    // trips to memory overlap rather than follow each other row by row.
    for (std::uint32_t u : changed_) {
        __builtin_prefetch(&heapAt_[u]);
        const GridPoint a = point(corner_[3 * u]), b = point(corner_[3 * u + 1]), c = point(corner_[3 * u + 2]);
        const std::int64_t top = std::min({a.y, b.y, c.y}), bottom = std::max({a.y, b.y, c.y});
        if (bottom - top > 32)
            continue;
        const std::int64_t left = std::min({a.x, b.x, c.x}), right = std::max({a.x, b.x, c.x});
        for (std::int64_t y = top; y <= bottom; ++y) {
            const double* row = &grid_.depths[std::uint64_t(y) * width_];
            __builtin_prefetch(row + left);
            __builtin_prefetch(row + right);
        }
    }
    errors_.clear();
    for (std::uint32_t u : changed_) {
        errors_.push_back(scan(u));
        if (heapAt_[u] != none)
            __builtin_prefetch(&heap_[heapAt_[u]]);
    }
    for (std::size_t i = 0; i < changed_.size(); ++i)
        heapPlace(changed_[i], errors_[i]);
    changed_.clear();
}

std::vector<std::uint32_t> GreedyMesh::takeTriangles()
{
    candidate_ = {};
    heap_ = {};
    heapAt_ = {};
    twin_ = {};
    // In the order of their top rows, so that whoever reads them next (the
    // report, a writer) walks the grid from top to bottom rather than in the
    // order the points went in.
    const std::uint32_t count = triangleCount();
    std::vector<std::uint32_t> firstOfRow(grid_.ys.size() + 1, 0);
    auto topRow = [&](std::uint32_t t) {
        return std::min({point(corner_[3 * t]).y, point(corner_[3 * t + 1]).y, point(corner_[3 * t + 2]).y});
    };
    for (std::uint32_t t = 0; t < count; ++t)
        ++firstOfRow[std::size_t(topRow(t)) + 1];
    for (std::size_t r = 1; r < firstOfRow.size(); ++r)
        firstOfRow[r] += firstOfRow[r - 1];
    // Counterclockwise in grid indices faces the picture only when the grid's axes reverse the cells' winding.
    const bool swap = !windingReversed(grid_.xs, grid_.ys);
    std::vector<std::uint32_t> sorted(corner_.size());
    for (std::uint32_t t = 0; t < count; ++t) {
        std::uint32_t* out = &sorted[3 * std::size_t(firstOfRow[std::size_t(topRow(t))]++)];
        out[0] = corner_[3 * t];
        out[1] = corner_[3 * t + (swap ? 2 : 1)];
        out[2] = corner_[3 * t + (swap ? 1 : 2)];
    }
    corner_ = {};
    return sorted;
}

}  // namespace

namespace {

// The rows of `column` to keep so that the line through them strays from no
// point of the column by more than `bound` (the two ends always), split at
// the farthest point as long as one strays farther.
std::vector<std::int64_t> seamRows(const HeightGrid& grid, std::int64_t column, double bound)
{
    const std::size_t width = grid.xs.size();
    auto depth = [&](std::int64_t row) { return grid.depths[std::size_t(row) * width + std::size_t(column)]; };
    std::vector<std::int64_t> kept{0, std::int64_t(grid.cellRows())};
    std::vector<std::pair<std::int64_t, std::int64_t>> spans{{0, std::int64_t(grid.cellRows())}};
    while (!spans.empty()) {
        const auto [from, to] = spans.back();
        spans.pop_back();
        double farthest = bound;
        std::int64_t at = -1;
        const double slope = (depth(to) - depth(from)) / (grid.ys[to] - grid.ys[from]);
        for (std::int64_t row = from + 1; row < to; ++row) {
            const double e = std::fabs(depth(row) - (depth(from) + slope * (grid.ys[row] - grid.ys[from])));
            if (e > farthest) {
                farthest = e;
                at = row;
            }
        }
        if (at < 0)
            continue;
        kept.push_back(at);
        spans.push_back({from, at});
        spans.push_back({at, to});
    }
    std::sort(kept.begin(), kept.end());
    return kept;
}

std::vector<std::uint32_t> greedyRegion(const HeightGrid& grid, double floor, Region region, std::uint64_t maxTriangles,
                                        const InsertionWatch* watch = nullptr)
{
    GreedyMesh mesh(grid, floor, std::move(region), watch);
    mesh.refine(maxTriangles);
    return mesh.stopped() ? std::vector<std::uint32_t>() : mesh.takeTriangles();
}

}  // namespace

std::vector<std::uint32_t> greedySurface(const HeightGrid& grid, std::uint64_t maxTriangles, double maxError,
                                         std::uint64_t splitFrom, const InsertionWatch& watch)
{
    const InsertionWatch* watching = watch ? &watch : nullptr;
    double deepest = 0;
    for (double z : grid.depths)
        deepest = std::max(deepest, std::fabs(z));
    // Rounding of the plane through three points, far below any real difference.
    const double floor = std::max(maxError, deepest * 1e-12);
    const std::int64_t columns = std::int64_t(grid.cellColumns()), rows = std::int64_t(grid.cellRows());
    if (maxTriangles > 0 || !(maxError > 0) || grid.depths.size() < splitFrom || columns < 2)
        return greedyRegion(grid, floor, {0, 0, columns, rows, -1, {}}, maxTriangles, watching);

    // Under a bound alone, a large grid as two halves, one per processor.
    // They share the middle column's points that a line through them needs
    // to stay within the bound, a little tighter for the planes' rounding,
    // so that they meet edge for edge.
    const std::int64_t middle = columns / 2;
    const std::vector<std::int64_t> seam = seamRows(grid, middle, maxError * (1 - 1e-9));
    std::future<std::vector<std::uint32_t>> right = alongside([&] {
        return greedyRegion(grid, floor, {middle, 0, columns, rows, middle, seam}, 0);
    });
    // The watch is asked by this thread's half only.
    std::vector<std::uint32_t> triangles = greedyRegion(grid, floor, {0, 0, middle, rows, middle, seam}, 0, watching);
    const std::vector<std::uint32_t> rest = right.get();
    if (triangles.empty())
        return {};
    triangles.insert(triangles.end(), rest.begin(), rest.end());
    return triangles;
}
