#include "obj_writer.h"

#include "mesh_layout.h"
#include "mesh_numbering.h"

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

void writeBackPoints(TextOutput& out, const OutlinePoints& points, std::uint64_t gridPoints, std::uint64_t first,
                     std::uint64_t end)
{
    for (std::uint64_t i = first; i < end; ++i)
        writeVertex(out, points.position(gridPoints + i));
}

enum ObjPart : std::size_t { gridPart, backPart, facePart };

}  // namespace

ObjBody::ObjBody(const GridPoints& points, const MeshOptions& options) : points_(points), placement_(options.placement)
{
    const std::vector<double>& xs = points.xs();
    const std::vector<double>& ys = points.ys();
    width_ = xs.size();
    rowCount_ = ys.size();
    hasCells_ = xs.size() >= 2 && ys.size() >= 2;
    if (!hasCells_)
        return;
    xTexts_.assign(xSlot * xs.size(), 0);
    xLengths_.resize(xs.size());
    for (std::size_t c = 0; c < xs.size(); ++c) {
        char* text = &xTexts_[xSlot * c];
        char* p = text;
        *p++ = 'v';
        *p++ = ' ';
        p = putNumber(p, placement_.x(xs[c]));
        *p++ = ' ';
        xLengths_[c] = static_cast<std::uint8_t>(p - text);
    }
    reversed_ = windingReversed(xs, {ys[0], ys[1]});
    if (options.solid)
        outline_ = std::make_unique<OutlinePoints>(points, backFaceDepth(options), options.placement);
}

void ObjBody::writeHead(TextOutput& out) const
{
    out.writeLine(objUnitsComment);
}

std::vector<BandPart> ObjBody::parts() const
{
    if (!hasCells_)
        return {};
    const std::uint64_t columns = width_ - 1, rows = rowCount_ - 1;
    return {{rowCount_, width_, 40, true},
            {outline_ ? 1u : 0u, backFacePointCount(columns, rows), 60, false},
            {rows, columns, 2 * 40, false}};
}

class ObjBody::Formatter : public BandFormatter {
public:
    Formatter(const ObjBody& body, TextOutput& out) : body_(body), out_(out) {}

    bool write(std::size_t part, std::uint64_t first, std::uint64_t end) override
    {
        if (part == backPart) {
            writeBackPoints(out_, *body_.outline_, body_.width_ * body_.rowCount_, first, end);
            return !out_.failed();
        }
        const std::uint64_t width = part == gridPart ? body_.width_ : body_.width_ - 1;
        forEachRowRun(first, end, width, [&](std::uint64_t row, std::uint64_t from, std::uint64_t to) {
            if (part == gridPart)
                writePoints(row, from, to);
            else
                writeFaces(row, from, to);
            return true;
        });
        return !out_.failed();
    }

private:
    void writePoints(std::uint64_t row, std::uint64_t first, std::uint64_t end)
    {
        depths_.resize(static_cast<std::size_t>(end - first));
        body_.points_.depths(row, first, end, depths_.data());
        char yText[xSlot] = {};
        char* yEnd = putNumber(yText, body_.placement_.y(body_.points_.ys()[row]));
        *yEnd++ = ' ';
        const std::size_t yLength = static_cast<std::size_t>(yEnd - yText);
        for (std::uint64_t c = first; c < end; ++c) {
            char* p = out_.room(2 * xSlot + DepthTexts::slot);
            std::memcpy(p, &body_.xTexts_[xSlot * c], xSlot);
            p += body_.xLengths_[c];
            std::memcpy(p, yText, xSlot);
            p += yLength;
            out_.wrote(depthTexts_.put(p, body_.placement_.z(depths_[c - first])));
        }
    }

    // Each cell's two triangles as cellTriangles gives them, with the
    // corners numbered from 1: a and b on the cell's upper row, d and e below them.
    void writeFaces(std::uint64_t row, std::uint64_t first, std::uint64_t end)
    {
        const std::uint64_t width = body_.width_;
        const std::uint64_t upper = row * width + first + 1, lower = (row + 1) * width + first + 1;
        CountedNumber a(upper), b(upper + 1), d(lower), e(lower + 1);
        for (std::uint64_t c = first; c < end; ++c) {
            char* p = out_.room(2 * countedFaceRoom);
            if (body_.reversed_) {
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

    const ObjBody& body_;
    TextOutput& out_;
    DepthTexts depthTexts_;
    std::vector<double> depths_;
};

std::unique_ptr<BandFormatter> ObjBody::formatter(TextOutput& out) const
{
    return std::make_unique<Formatter>(*this, out);
}

void ObjBody::writeTail(TextOutput& out) const
{
    if (!outline_)
        return;
    const std::uint64_t gridPoints = width_ * rowCount_;
    for (const MeshTriangle& t : closureTriangles(gridOutline(width_ - 1, rowCount_ - 1), gridPoints, reversed_))
        writeFace(out, t[0], t[1], t[2]);
}

bool writeObj(TextOutput& out, const HeightGrid& grid, const std::vector<std::uint32_t>& surface,
              const MeshOptions& options)
{
    out.writeLine(objUnitsComment);
    if (!grid.hasCells())
        return !out.failed();
    const NumberedMesh mesh(grid, surface, options);
    mesh.forEachPoint([&out](const MeshPoint& point) { writeVertex(out, point); });
    mesh.forEachTriangle([&out](std::uint64_t a, std::uint64_t b, std::uint64_t c) { writeFace(out, a, b, c); });
    return !out.failed();
}
