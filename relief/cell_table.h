#pragma once

#include "cell_places.h"
#include "corner_depth.h"
#include "height_grid.h"
#include "relief_walk.h"

#include <cstdint>
#include <optional>
#include <vector>

// The walk's positions along both axes and the pixels they meet, kept in
// tables so that any cell, or any point of the height grid, is made on its
// own, from any thread, with the very operations the walk uses (the same
// positions, pixels, spike filter): bands of rows can then be formatted in
// parallel and still give the walk's bytes.
// Whether the tables take a walk of that many cells across and down.
bool cellTableHolds(std::uint64_t columns, std::uint64_t rows);

class CellTable : public GridPoints, public CellPlaces {
public:
    // Nothing when an axis has more positions than the tables are meant to
    // hold (such a walk takes hours anyway): the walk itself is used then.
    static std::optional<CellTable> of(const ExportParameters& parameters, const Selection& selection,
                                       const Picture& picture);

    std::uint64_t columns() const override { return cellColumns_; }
    std::uint64_t rows() const override { return cellRows_; }
    // The top-left corner of a cell, in window units.
    double x(std::uint64_t column) const override { return xs_[column]; }
    double y(std::uint64_t row) const override { return ys_[row]; }

    // The cell as the walk hands it to its consumers.
    void cell(std::uint64_t row, std::uint64_t column, ReliefCell& cell) const;
    // Cells [first, end) of a row, in order; false when the consumer stopped.
    bool walkRow(std::uint64_t row, std::uint64_t first, std::uint64_t end, CellConsumer& consumer) const;

    // The height grid's points as PointRowGatherer gathers them.
    const std::vector<double>& xs() const override { return gridXs_; }
    const std::vector<double>& ys() const override { return gridYs_; }
    void depths(std::size_t row, std::size_t first, std::size_t end, double* out) const override;

private:
    CellTable(const ExportParameters& parameters, const Picture& picture);

    int level(int pixelColumn, int pixelRow) const
    {
        return grayLevel(picture_->colourAtPixel(pixelColumn, pixelRow));
    }
    // The depth of the right-hand corner of cell `column` on a pixel row.
    double rightCorner(std::uint64_t column, int pixelRow) const
    {
        const int centre = level(pixelColumns_[column + 1], pixelRow);
        if (!filtered_[column])
            return depth_.plain(centre);
        return depth_.filtered(level(pixelColumns_[column], pixelRow), centre,
                               level(neighbourColumns_[column], pixelRow));
    }

    const Picture* picture_;
    CornerDepth depth_;
    std::uint64_t cellColumns_ = 0, cellRows_ = 0;
    std::vector<double> xs_, ys_;             // window units: every position and the last far side
    std::vector<int> pixelColumns_, pixelRows_;  // of xs_ and ys_
    std::vector<int> neighbourColumns_;       // per cell: one step past its right side
    std::vector<unsigned char> filtered_;     // per cell: its right-hand corners go through the spike filter
    std::vector<double> gridXs_, gridYs_;     // metres
};
