#pragma once

// Binary STL of the relief: one connected mesh in millimetres, the surface
// facing the picture, or with the options' solid a closed block.

#include "mesh_options.h"
#include "mesh_outline_points.h"
#include "platform/text_output.h"
#include "relief/height_grid.h"

#include <cstdint>
#include <memory>
#include <vector>

// Streams the grid as the walk gives it: keeps the previous row and the
// outline, never the whole grid. Every cell gives its two triangles.
class StlWriter : public PointRowConsumer {
public:
    StlWriter(TextOutput& out, const MeshOptions& options);

    bool begin(const std::vector<double>& xs, std::size_t rowCount) override;
    bool row(std::size_t index, double y, const double* depths) override;
    bool end() override;

private:
    TextOutput& out_;
    MeshOptions options_;
    std::vector<double> xs_;
    std::vector<double> previous_;
    double previousY_ = 0;
    bool reversed_ = false;
    bool hasCells_ = false;
    std::size_t rowCount_ = 0;
    std::unique_ptr<OutlinePoints> outline_;
};

// A whole grid with its surface as given (three grid point indices per
// triangle, facing the picture), closed into a solid when the options ask.
bool writeStl(TextOutput& out, const HeightGrid& grid, const std::vector<std::uint32_t>& surface,
              const MeshOptions& options);
