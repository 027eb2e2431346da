#include "obj_writer.h"

#include "mesh_layout.h"

#include <charconv>
#include <cstring>

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

// A vertex number as text, counted up digit by digit rather than formatted
// again: a row of cells numbers its corners one after the other.
class CountedNumber {
public:
    static constexpr std::size_t slot = 24;

    explicit CountedNumber(std::uint64_t value) { length_ = std::to_chars(text_, text_ + 20, value).ptr - text_; }
    void next()
    {
        for (std::size_t i = length_; i-- > 0;) {
            if (text_[i] != '9') {
                ++text_[i];
                return;
            }
            text_[i] = '0';
        }
        std::memmove(text_ + 1, text_, length_++);
        text_[0] = '1';
    }
    // Copies a whole slot, so `p` needs that much room.
    char* put(char* p) const
    {
        std::memcpy(p, text_, slot);
        return p + length_;
    }

private:
    char text_[slot] = {};
    std::size_t length_;
};

constexpr std::size_t countedFaceRoom = 2 + 3 * (CountedNumber::slot + 1) + 2;

char* putFace(char* p, const CountedNumber& a, const CountedNumber& b, const CountedNumber& c)
{
    *p++ = 'f';
    *p++ = ' ';
    p = a.put(p);
    *p++ = ' ';
    p = b.put(p);
    *p++ = ' ';
    p = c.put(p);
    *p++ = '\r';
    *p++ = '\n';
    return p;
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
    out_.writeLine(objUnitsComment);
    xTexts_.assign(xSlot * xs.size(), 0);
    xLengths_.resize(xs.size());
    for (std::size_t c = 0; c < xs.size(); ++c) {
        char* text = &xTexts_[xSlot * c];
        char* p = text;
        *p++ = 'v';
        *p++ = ' ';
        p = putNumber(p, meshPoint(xs[c], 0, 0).x);
        *p++ = ' ';
        xLengths_[c] = static_cast<std::uint8_t>(p - text);
    }
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
    char yText[xSlot] = {};
    char* yEnd = putNumber(yText, meshPoint(0, y, 0).y);
    *yEnd++ = ' ';
    const std::size_t yLength = static_cast<std::size_t>(yEnd - yText);
    for (std::size_t c = 0; c < xs_.size(); ++c) {
        char* p = out_.room(2 * xSlot + DepthTexts::slot);
        std::memcpy(p, &xTexts_[xSlot * c], xSlot);
        p += xLengths_[c];
        std::memcpy(p, yText, xSlot);
        p += yLength;
        out_.wrote(depthTexts_.put(p, depths[c]));
    }
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
    writeCellFaces(rows, reversed);
    if (outline_)
        for (const MeshTriangle& t : closureTriangles(gridOutline(columns, rows), gridPoints, reversed))
            writeFace(out_, t[0], t[1], t[2]);
    return !out_.failed();
}

// Each cell's two triangles as cellTriangles gives them, with the corners
// numbered from 1: a and b on the cell's upper row, d and e below them.
void ObjWriter::writeCellFaces(std::uint64_t rows, bool reversed)
{
    const std::uint64_t width = xs_.size();
    for (std::uint64_t r = 0; r < rows; ++r) {
        CountedNumber a(r * width + 1), b(r * width + 2), d((r + 1) * width + 1), e((r + 1) * width + 2);
        for (std::uint64_t c = 0; c + 1 < width; ++c) {
            char* p = out_.room(2 * countedFaceRoom);
            if (reversed) {
                p = putFace(p, a, b, d);
                p = putFace(p, d, b, e);
            } else {
                p = putFace(p, a, d, b);
                p = putFace(p, d, e, b);
            }
            out_.wrote(p);
            a.next();
            b.next();
            d.next();
            e.next();
        }
    }
}

bool writeObj(TextOutput& out, const HeightGrid& grid, const std::vector<std::uint32_t>& surface,
              const MeshOptions& options)
{
    out.writeLine(objUnitsComment);
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
