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

StlWriter::StlWriter(TextOutput& out, const MeshOptions& options) : out_(out), options_(options) {}

bool StlWriter::begin(const std::vector<double>& xs, std::size_t rowCount)
{
    xs_ = xs;
    rowCount_ = rowCount;
    const std::uint64_t columns = xs.size() < 2 ? 0 : xs.size() - 1;
    const std::uint64_t rows = rowCount < 2 ? 0 : rowCount - 1;
    std::uint64_t triangles = surfaceTriangleCount(columns, rows);
    if (options_.solid)
        triangles += closureTriangleCount(columns, rows);
    writeHeader(out_, triangles);
    hasCells_ = columns > 0 && rows > 0;
    previous_.assign(xs.size(), 0.0);
    if (options_.solid && triangles > 0)
        outline_ = std::make_unique<OutlinePoints>(xs, rowCount, backFaceDepth(options_));
    return !out_.failed();
}

bool StlWriter::row(std::size_t index, double y, const double* depths)
{
    if (!hasCells_)
        return true;
    if (index == 0)
        // The orientation needs two rows' Y; it is fixed once the second comes.
        reversed_ = false;
    else {
        if (index == 1)
            reversed_ = windingReversed(xs_, {previousY_, y});
        const std::size_t columns = xs_.size() - 1;
        MeshPoint upper[2], lower[2];
        upper[0] = meshPoint(xs_[0], previousY_, previous_[0]);
        lower[0] = meshPoint(xs_[0], y, depths[0]);
        for (std::size_t c = 0; c < columns; ++c) {
            upper[1] = meshPoint(xs_[c + 1], previousY_, previous_[c + 1]);
            lower[1] = meshPoint(xs_[c + 1], y, depths[c + 1]);
            // Cell corners 0 = upper[0], 1 = upper[1], 2 = lower[0], 3 = lower[1].
            char* p = out_.room(2 * facetBytes);
            if (reversed_) {
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
    if (outline_)
        outline_->addRow(index, y, depths);
    previous_.assign(depths, depths + xs_.size());
    previousY_ = y;
    return !out_.failed();
}

bool StlWriter::end()
{
    if (outline_)
        writeClosure(out_, *outline_, xs_.size() - 1, rowCount_ - 1, reversed_);
    return !out_.failed();
}

bool writeStl(TextOutput& out, const HeightGrid& grid, const std::vector<std::uint32_t>& surface,
              const MeshOptions& options)
{
    const std::size_t columns = grid.cellColumns(), rows = grid.cellRows();
    const bool solid = options.solid && grid.hasCells();
    writeHeader(out, surface.size() / 3 + (solid ? closureTriangleCount(columns, rows) : 0));
    const std::size_t width = grid.xs.size();
    auto point = [&](std::uint32_t i) {
        return meshPoint(grid.xs[i % width], grid.ys[i / width], grid.depths[i]);
    };
    for (std::size_t t = 0; t + 2 < surface.size(); t += 3) {
        char* p = out.room(facetBytes);
        out.wrote(putFacet(p, point(surface[t]), point(surface[t + 1]), point(surface[t + 2])));
    }
    if (solid) {
        OutlinePoints outline(grid.xs, grid.ys.size(), backFaceDepth(options));
        for (std::size_t r = 0; r < grid.ys.size(); ++r)
            outline.addRow(r, grid.ys[r], &grid.depths[r * width]);
        writeClosure(out, outline, columns, rows, windingReversed(grid.xs, grid.ys));
    }
    return !out.failed();
}
