#include "obj_writer.h"

#include "mesh_layout.h"

#include <charconv>

// "# Orvanel : unités en millimètres", in Windows-1252 like the other exports.
const char objUnitsComment[] = "# Orvanel : unit\xE9s en millim\xE8tres";

namespace {

// "v " and three numbers of at most 24 characters each, spaces, line end.
constexpr std::size_t vertexLineRoom = 2 + 3 * 25 + 2;
constexpr std::size_t faceLineRoom = 2 + 3 * 21 + 2;

char* putNumber(char* p, double v)
{
    return std::to_chars(p, p + 24, v).ptr;
}

void writeVertex(TextOutput& out, const MeshPoint& point)
{
    char* p = out.room(vertexLineRoom);
    *p++ = 'v';
    *p++ = ' ';
    p = putNumber(p, point.x);
    *p++ = ' ';
    p = putNumber(p, point.y);
    *p++ = ' ';
    p = putNumber(p, point.z);
    *p++ = '\r';
    *p++ = '\n';
    out.wrote(p);
}

// Vertex numbers from 0; the file counts from 1.
void writeFace(TextOutput& out, std::uint64_t a, std::uint64_t b, std::uint64_t c)
{
    char* p = out.room(faceLineRoom);
    *p++ = 'f';
    for (std::uint64_t v : {a, b, c}) {
        *p++ = ' ';
        p = std::to_chars(p, p + 20, v + 1).ptr;
    }
    *p++ = '\r';
    *p++ = '\n';
    out.wrote(p);
}

void writeBackPoints(TextOutput& out, const OutlinePoints& points, std::uint64_t gridPoints, std::uint64_t count)
{
    for (std::uint64_t i = 0; i < count; ++i)
        writeVertex(out, points.position(gridPoints + i));
}

}  // namespace

ObjWriter::ObjWriter(TextOutput& out, const MeshOptions& options) : out_(out), options_(options) {}

bool ObjWriter::begin(const std::vector<double>& xs, std::size_t rowCount)
{
    out_.WriteLine(objUnitsComment);
    xs_ = xs;
    rowCount_ = rowCount;
    hasCells_ = xs.size() >= 2 && rowCount >= 2;
    if (options_.solid && hasCells_)
        outline_ = std::make_unique<OutlinePoints>(xs, rowCount, backFaceDepth(options_));
    return !out_.failed();
}

bool ObjWriter::row(std::size_t index, double y, const double* depths)
{
    if (!hasCells_)
        return true;
    if (firstYs_.size() < 2)
        firstYs_.push_back(y);
    for (std::size_t c = 0; c < xs_.size(); ++c)
        writeVertex(out_, meshPoint(xs_[c], y, depths[c]));
    if (outline_)
        outline_->addRow(index, y, depths);
    return !out_.failed();
}

bool ObjWriter::end()
{
    if (!hasCells_)
        return !out_.failed();
    const std::size_t columns = xs_.size() - 1, rows = rowCount_ - 1;
    const std::uint64_t width = xs_.size();
    const std::uint64_t gridPoints = width * rowCount_;
    if (outline_)
        writeBackPoints(out_, *outline_, gridPoints, backFacePointCount(columns, rows));
    const bool reversed = windingReversed(xs_, firstYs_);
    MeshTriangle cell[2];
    for (std::uint64_t r = 0; r < rows; ++r) {
        for (std::uint64_t c = 0; c < columns; ++c) {
            cellTriangles(r * width + c, width, reversed, cell);
            writeFace(out_, cell[0][0], cell[0][1], cell[0][2]);
            writeFace(out_, cell[1][0], cell[1][1], cell[1][2]);
        }
    }
    if (outline_)
        for (const MeshTriangle& t : closureTriangles(gridOutline(columns, rows), gridPoints, reversed))
            writeFace(out_, t[0], t[1], t[2]);
    return !out_.failed();
}

bool writeObj(TextOutput& out, const HeightGrid& grid, const std::vector<std::uint32_t>& surface,
              const MeshOptions& options)
{
    out.WriteLine(objUnitsComment);
    if (!grid.hasCells())
        return !out.failed();
    const std::size_t width = grid.xs.size();
    const std::uint64_t gridPoints = static_cast<std::uint64_t>(width) * grid.ys.size();
    // The file's number of each grid point the surface uses, in grid order.
    constexpr std::uint32_t unused = 0xFFFFFFFFu;
    std::vector<std::uint32_t> number(gridPoints, unused);
    for (std::uint32_t i : surface)
        number[i] = 0;
    std::uint32_t written = 0;
    for (std::uint64_t i = 0; i < gridPoints; ++i) {
        if (number[i] == unused)
            continue;
        number[i] = written++;
        writeVertex(out, meshPoint(grid.xs[i % width], grid.ys[i / width], grid.depths[i]));
    }
    const std::size_t columns = grid.cellColumns(), rows = grid.cellRows();
    const bool solid = options.solid;
    if (solid) {
        OutlinePoints outline(grid.xs, grid.ys.size(), backFaceDepth(options));
        for (std::size_t r = 0; r < grid.ys.size(); ++r)
            outline.addRow(r, grid.ys[r], &grid.depths[r * width]);
        writeBackPoints(out, outline, gridPoints, backFacePointCount(columns, rows));
    }
    for (std::size_t t = 0; t + 2 < surface.size(); t += 3)
        writeFace(out, number[surface[t]], number[surface[t + 1]], number[surface[t + 2]]);
    if (solid) {
        // Outline points keep their grid numbers in the closure; back points follow the written ones.
        for (const MeshTriangle& t : closureTriangles(gridOutline(columns, rows), gridPoints,
                                                      windingReversed(grid.xs, grid.ys))) {
            std::uint64_t v[3];
            for (int k = 0; k < 3; ++k)
                v[k] = t[k] < gridPoints ? number[t[k]] : written + (t[k] - gridPoints);
            writeFace(out, v[0], v[1], v[2]);
        }
    }
    return !out.failed();
}
