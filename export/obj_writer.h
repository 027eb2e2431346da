#pragma once

// Wavefront OBJ of the relief: every point written once ("v" lines, in
// millimetres, the shortest text that reads back to the same double), then
// the triangles ("f" lines, numbered from 1), facing the picture; with the
// options' solid, the back face's points follow the grid's and the walls and
// back face close the block.

#include "depth_texts.h"
#include "mesh_options.h"
#include "mesh_outline_points.h"
#include "platform/text_output.h"
#include "relief/height_grid.h"

#include <cstdint>
#include <memory>
#include <vector>

// The comment line that opens every OBJ file.
extern const char objUnitsComment[];

// Streams the grid as the walk gives it: the "v" lines row by row, the "f"
// lines at the end (they follow from the grid's size alone). A column's X
// text and a row's Y text are made once, a depth's once per value.
class ObjWriter : public PointRowConsumer {
public:
    ObjWriter(TextOutput& out, const MeshOptions& options);

    bool begin(const std::vector<double>& xs, std::size_t rowCount) override;
    bool row(std::size_t index, double y, const double* depths) override;
    bool end() override;

private:
    TextOutput& out_;
    MeshOptions options_;
    void writeCellFaces(std::uint64_t rows, bool reversed);

    // "v X " of each column, a fixed slot apart, and its length.
    static constexpr std::size_t xSlot = 32;
    std::vector<char> xTexts_;
    std::vector<std::uint8_t> xLengths_;
    DepthTexts depthTexts_;
    std::vector<double> xs_;
    std::size_t rowCount_ = 0;
    bool hasCells_ = false;
    std::vector<double> firstYs_;  // the orientation needs the first two rows' Y
    std::unique_ptr<OutlinePoints> outline_;
};

// A whole grid with its surface as given (three grid point indices per
// triangle, facing the picture): only the points the triangles use are
// written, closed into a solid when the options ask.
bool writeObj(TextOutput& out, const HeightGrid& grid, const std::vector<std::uint32_t>& surface,
              const MeshOptions& options);
