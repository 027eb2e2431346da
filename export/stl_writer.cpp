#include "stl_writer.h"

#include "mesh_layout.h"

#include <cmath>
#include <cstring>

namespace {

constexpr std::size_t facetBytes = 50;

char* putUint32(char* p, std::uint32_t v)
{
    p[0] = static_cast<char>(v & 0xFF);
    p[1] = static_cast<char>((v >> 8) & 0xFF);
    p[2] = static_cast<char>((v >> 16) & 0xFF);
    p[3] = static_cast<char>(v >> 24);
    return p + 4;
}

char* putFloat(char* p, double v)
{
    const float f = static_cast<float>(v);
    std::uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return putUint32(p, bits);
}

char* putFacet(char* p, const MeshPoint& a, const MeshPoint& b, const MeshPoint& c)
{
    const double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
    const double vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
    double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
    const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (length > 0) {
        nx /= length;
        ny /= length;
        nz /= length;
    }
    p = putFloat(p, nx);
    p = putFloat(p, ny);
    p = putFloat(p, nz);
    for (const MeshPoint* point : {&a, &b, &c}) {
        p = putFloat(p, point->x);
        p = putFloat(p, point->y);
        p = putFloat(p, point->z);
    }
    p[0] = p[1] = 0;  // attribute byte count
    return p + 2;
}

void writeHeader(TextOutput& out, std::uint64_t triangles)
{
    char* p = out.room(84);
    std::memset(p, 0, 84);
    // Never "solid" first: some readers would take the file for ASCII STL.
    static const char title[] = "Orvanel binary STL, millimetres";
    std::memcpy(p, title, sizeof title - 1);
    // Past 2^32 - 1 no count is right; the size estimate warns of such files.
    putUint32(p + 80, triangles > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(triangles));
    out.wrote(p + 84);
}

void writeClosure(TextOutput& out, const OutlinePoints& points, std::size_t columns, std::size_t rows, bool reversed)
{
    const std::uint64_t gridPoints = static_cast<std::uint64_t>(columns + 1) * (rows + 1);
    for (const MeshTriangle& t : closureTriangles(gridOutline(columns, rows), gridPoints, reversed)) {
        char* p = out.room(facetBytes);
        out.wrote(putFacet(p, points.position(t[0]), points.position(t[1]), points.position(t[2])));
    }
}

}  // namespace

StlBody::StlBody(const GridPoints& points, const MeshOptions& options) : points_(points), placement_(options.placement)
{
    const std::vector<double>& xs = points.xs();
    const std::vector<double>& ys = points.ys();
    columns_ = xs.size() < 2 ? 0 : xs.size() - 1;
    rows_ = ys.size() < 2 ? 0 : ys.size() - 1;
    triangles_ = surfaceTriangleCount(columns_, rows_);
    if (options.solid)
        triangles_ += closureTriangleCount(columns_, rows_);
    if (rows_ > 0)
        reversed_ = windingReversed(xs, {ys[0], ys[1]});
    if (options.solid && triangles_ > 0)
        outline_ = std::make_unique<OutlinePoints>(points, backFaceDepth(options), options.placement);
}

void StlBody::writeHead(TextOutput& out) const
{
    writeHeader(out, triangles_);
}

std::vector<BandPart> StlBody::parts() const
{
    if (columns_ == 0 || rows_ == 0)
        return {};
    return {{rows_, columns_, 2 * facetBytes, true}};
}

// Cells come a run of a row at a time; the lower points of one row are the
// upper points of the next.
class StlBody::Formatter : public BandFormatter {
public:
    Formatter(const StlBody& body, TextOutput& out) : body_(body), out_(out) {}

    bool write(std::size_t, std::uint64_t first, std::uint64_t end) override
    {
        haveUpper_ = false;
        forEachRowRun(first, end, body_.columns_, [this](std::uint64_t row, std::uint64_t from, std::uint64_t to) {
            writeCells(row, from, to);
            return true;
        });
        return !out_.failed();
    }

private:
    void writeCells(std::uint64_t row, std::uint64_t first, std::uint64_t end)
    {
        const std::size_t n = static_cast<std::size_t>(end - first) + 1;
        if (haveUpper_ && upperRow_ + 1 == row && upperFirst_ == first && upper_.size() == n) {
            upper_.swap(lower_);
        } else {
            upper_.resize(n);
            body_.points_.depths(row, first, first + n, upper_.data());
        }
        lower_.resize(n);
        body_.points_.depths(row + 1, first, first + n, lower_.data());
        haveUpper_ = true;
        upperRow_ = row + 1;  // what lower_ holds, the next row's upper points
        upperFirst_ = first;
        const std::vector<double>& xs = body_.points_.xs();
        const double upperY = body_.points_.ys()[row], lowerY = body_.points_.ys()[row + 1];
        const PointPlacement& placed = body_.placement_;
        MeshPoint upper[2], lower[2];
        upper[0] = meshPoint(placed, xs[first], upperY, upper_[0]);
        lower[0] = meshPoint(placed, xs[first], lowerY, lower_[0]);
        for (std::size_t i = 1; i < n; ++i) {
            upper[1] = meshPoint(placed, xs[first + i], upperY, upper_[i]);
            lower[1] = meshPoint(placed, xs[first + i], lowerY, lower_[i]);
            // Cell corners 0 = upper[0], 1 = upper[1], 2 = lower[0], 3 = lower[1].
            char* p = out_.room(2 * facetBytes);
            if (body_.reversed_) {
                p = putFacet(p, upper[0], upper[1], lower[0]);
                p = putFacet(p, lower[0], upper[1], lower[1]);
            } else {
                p = putFacet(p, upper[0], lower[0], upper[1]);
                p = putFacet(p, lower[0], lower[1], upper[1]);
            }
            out_.wrote(p);
            upper[0] = upper[1];
            lower[0] = lower[1];
        }
    }

    const StlBody& body_;
    TextOutput& out_;
    std::vector<double> upper_, lower_;
    bool haveUpper_ = false;
    std::uint64_t upperRow_ = 0, upperFirst_ = 0;
};

std::unique_ptr<BandFormatter> StlBody::formatter(TextOutput& out) const
{
    return std::make_unique<Formatter>(*this, out);
}

void StlBody::writeTail(TextOutput& out) const
{
    if (outline_)
        writeClosure(out, *outline_, columns_, rows_, reversed_);
}

bool writeStl(TextOutput& out, const HeightGrid& grid, const std::vector<std::uint32_t>& surface,
              const MeshOptions& options)
{
    const std::size_t columns = grid.cellColumns(), rows = grid.cellRows();
    const bool solid = options.solid && grid.hasCells();
    writeHeader(out, surface.size() / 3 + (solid ? closureTriangleCount(columns, rows) : 0));
    const std::size_t width = grid.xs.size();
    auto point = [&](std::uint32_t i) {
        return meshPoint(options.placement, grid.xs[i % width], grid.ys[i / width], grid.depths[i]);
    };
    for (std::size_t t = 0; t + 2 < surface.size(); t += 3) {
        char* p = out.room(facetBytes);
        out.wrote(putFacet(p, point(surface[t]), point(surface[t + 1]), point(surface[t + 2])));
    }
    if (solid) {
        const OutlinePoints outline(HeightGridPoints(grid), backFaceDepth(options), options.placement);
        writeClosure(out, outline, columns, rows, windingReversed(grid.xs, grid.ys));
    }
    return !out.failed();
}
