#pragma once

#include <cstdint>

// Where the cells of a grid stand in window units, so that the progress
// marks each where it lies on the picture: the walk's cells, or the part's
// blocks of pixels.
class CellPlaces {
public:
    virtual ~CellPlaces() = default;
    virtual std::uint64_t columns() const = 0;
    virtual std::uint64_t rows() const = 0;
    // The top-left corner of a cell.
    virtual double x(std::uint64_t column) const = 0;
    virtual double y(std::uint64_t row) const = 0;
};
