#pragma once

// Wavefront OBJ of the relief: every point written once ("v" lines, in
// millimetres, the shortest text that reads back to the same double), then
// the triangles ("f" lines, numbered from 1), facing the picture; with the
// options' solid, the back face's points follow the grid's and the walls and
// back face close the block.

#include "depth_texts.h"
#include "mesh_body.h"
#include "mesh_options.h"
#include "mesh_outline_points.h"
#include "platform/text_output.h"
#include "relief/height_grid.h"

#include <cstdint>
#include <memory>
#include <vector>

// The comment line that opens every OBJ file.
extern const char objUnitsComment[];

// The "v" lines of the grid's points, a solid's back points, then the "f"
// lines of the cells, as bands of rows: a vertex's number follows from its
// row and column alone, so any band writes its own faces. A column's X text
// is made once for all threads, a row's Y text once per band, a depth's
// once per value in each thread; the closure's faces come last.
class ObjBody : public MeshBody {
public:
    ObjBody(const GridPoints& points, const MeshOptions& options);

    void writeHead(TextOutput& out) const override;
    std::vector<BandPart> parts() const override;
    std::unique_ptr<BandFormatter> formatter(TextOutput& out) const override;
    void writeTail(TextOutput& out) const override;

private:
    class Formatter;

    const GridPoints& points_;
    // "v X " of each column, a fixed slot apart, and its length.
    static constexpr std::size_t xSlot = 32;
    std::vector<char> xTexts_;
    std::vector<std::uint8_t> xLengths_;
    std::uint64_t width_ = 0, rowCount_ = 0;
    bool hasCells_ = false;
    bool reversed_ = false;
    std::unique_ptr<OutlinePoints> outline_;
    PointPlacement placement_;
};

// A whole grid with its surface as given (three grid point indices per
// triangle, facing the picture): only the points the triangles use are
// written, closed into a solid when the options ask.
bool writeObj(TextOutput& out, const HeightGrid& grid, const std::vector<std::uint32_t>& surface,
              const MeshOptions& options);
