#pragma once

// "Pièce posée": the part that the picture's own pixels make. Each pixel is
// a square of the same side, so the part has the selection's proportions;
// a grid point stands at the top-left corner of every N-th pixel and takes
// that pixel's luminance (the last row and column of points, on the far
// sides, take the last pixels'). A point's height is its luminance times
// the relief's height, black at the relief's foot and white at its top;
// with `invert`, one less its luminance (bright deep).

#include "cell_places.h"
#include "format_entry.h"
#include "height_grid.h"
#include "point_placement.h"

#include <cstdint>
#include <vector>

// The picture's pixels under the selection: its edges taken to the nearest
// pixel boundaries (where a pixel spans 15 / 0.936 window units across and
// 15 down), kept within the picture.
struct SelectionPixels {
    int left = 0, top = 0;
    int columns = 0, rows = 0;
};
SelectionPixels selectionPixels(const Selection& selection, const Picture& picture);

// The part's size and grid for a job and its options. A strip of fewer than
// N pixels along the right and bottom sides is left out, as the walk
// leaves out less than a step.
struct PartShape {
    SelectionPixels pixels;
    std::uint64_t every = 1;
    GridSize cells;             // blocks of N x N pixels across and down
    double widthMm = 0;         // X extent, as typed
    double heightMm = 0;        // Y extent, with square pixels
    double reliefMm = 0;        // from the relief's lowest point to its highest
    double thicknessMm = 0;     // Z extent: a solid's base and relief, or the relief
};
PartShape partShape(const ExportJob& job, const FormatOptions& options);

// The relief's points as the writers take them (mesh_options, step_options)
// moved into the part's frame.
PointPlacement partPlacement(const PartShape& shape, bool solid, double baseMetres);

// The part's defaults from the main window's fields: the selection's pixels
// at the scale typed there, a pixel taken as 15 window units (the vertical
// unit) both ways; the maximum depth.
double defaultPartWidthMm(const ExportJob& job);
double defaultReliefMm(const ExportJob& job);
// The fewest pixels a point that give at most `pointsAtMost` grid points.
double fewestPixelsAPoint(const ExportJob& job, double pointsAtMost);

// The part's points, any of them read on its own from any thread, in
// metres as the writers take them (point_placement.h): X from 0 to the
// width, Y from the top row (0) down to the height, the depth from 0 (the
// highest point) to the relief's height (the lowest).
class PartGrid : public GridPoints, public CellPlaces {
public:
    PartGrid(const Picture& picture, const PartShape& shape, bool invert);

    const std::vector<double>& xs() const override { return xs_; }
    const std::vector<double>& ys() const override { return ys_; }
    void depths(std::size_t row, std::size_t first, std::size_t end, double* out) const override;

    std::uint64_t columns() const override { return xs_.empty() ? 0 : xs_.size() - 1; }
    std::uint64_t rows() const override { return ys_.empty() ? 0 : ys_.size() - 1; }
    double x(std::uint64_t column) const override;
    double y(std::uint64_t row) const override;

private:
    const Picture& picture_;
    SelectionPixels pixels_;
    std::uint64_t every_;
    std::vector<int> pixelColumns_, pixelRows_;  // of each point
    std::vector<double> xs_, ys_;
    double reliefMetres_ = 0;
    bool invert_ = false;
};

// The grid an export of the format writes: the part's blocks of pixels, or
// the walk's cells.
GridSize exportGridSize(const FormatEntry& format, const ExportJob& job, const FormatOptions& options);
