#pragma once

// Binary STL of the relief: one connected mesh in millimetres, the surface
// facing the picture, or with the options' solid a closed block.

#include "mesh_body.h"
#include "mesh_options.h"
#include "mesh_outline_points.h"
#include "platform/text_output.h"
#include "relief/height_grid.h"

#include <cstdint>
#include <memory>
#include <vector>

// The grid's two triangles per cell as bands of rows of cells; the header
// first (its count follows from the grid's size), a solid's closure last.
class StlBody : public MeshBody {
public:
    StlBody(const GridPoints& points, const MeshOptions& options);

    void writeHead(TextOutput& out) const override;
    std::vector<BandPart> parts() const override;
    std::unique_ptr<BandFormatter> formatter(TextOutput& out) const override;
    void writeTail(TextOutput& out) const override;

private:
    class Formatter;

    const GridPoints& points_;
    std::uint64_t columns_ = 0, rows_ = 0;
    std::uint64_t triangles_ = 0;
    bool reversed_ = false;
    std::unique_ptr<OutlinePoints> outline_;
    PointPlacement placement_;
};

// A whole grid with its surface as given (three grid point indices per
// triangle, facing the picture), closed into a solid when the options ask.
bool writeStl(TextOutput& out, const HeightGrid& grid, const std::vector<std::uint32_t>& surface,
              const MeshOptions& options);
