#pragma once

#include "band_writing.h"
#include "height_grid.h"

// Fills a whole height grid from grid points, its rows in bands on every
// thread; no byte is written. What a writer that needs the whole grid (a
// simplification, a surface) reads the walk's tables or the part's pixels
// through.
class GridFilling : public BandedBody {
public:
    // `grid` takes the points' positions at once, its depths as the bands come.
    GridFilling(const GridPoints& points, HeightGrid& grid);

    std::vector<BandPart> parts() const override;
    std::unique_ptr<BandFormatter> formatter(TextOutput&) const override;

private:
    const GridPoints& points_;
    HeightGrid& grid_;
};
