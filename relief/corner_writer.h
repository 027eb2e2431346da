#pragma once

#include "export_format.h"
#include "platform/text_output.h"

#include <cstdint>
#include <string>
#include <vector>

// Writes corners in a format's corner style.
//
// A walk writes the same few texts again and again: every cell of a column
// has the same X, every cell of a row the same Y, and a depth takes only a
// few hundred values. So each text is made once and kept, ready with its
// labels, keyed by the exact bits of its number; a corner is then four
// copies straight into the stream's buffer. The stores are of fixed size
// whatever the number of cells.
class CornerWriter {
public:
    explicit CornerWriter(const CornerStyle& style);

    // `column`: the corner's column of grid points, where its X text is kept.
    void write(TextOutput& out, std::uint64_t column, double x, double y, double scale, double depth,
               bool lastCorner);

private:
    // A piece of a corner line, ready to copy. Pieces are copied a whole
    // `text` at a time and the stream moves on by `length` only.
    static constexpr std::size_t textSize = 48;
    struct Piece {
        std::uint64_t key = 0;
        std::uint32_t length = 0;  // 0: empty
        std::uint32_t unused = 0;
        char text[textSize];
    };
    static_assert(sizeof(Piece) == 64);

    enum class Kind { X, Y, Z };

    bool make(Piece& piece, Kind kind, double value);
    const Piece* xPiece(std::uint64_t column, double value);
    const Piece* yPiece(double value);
    const Piece* zPiece(double value);
    void writePlain(TextOutput& out, double x, double y, double scale, double depth, bool lastCorner);

    const CornerStyle& style_;
    std::string scratch_;

    // X: "xLabel X yLabel" of each column of grid points, kept at its
    // column: bands of rows, or of parts of a row, may come in any order.
    std::vector<Piece> xs_;
    // Y: "Y zLabel" of the two rows of corners of the current cell row.
    Piece ys_[2];
    int yOlder_ = 0;
    // Z: the depth text alone, in a two-way table hashed on the bits.
    std::vector<Piece> zs_;
    // afterZ and afterLastZ, each with the line end when the style has one.
    Piece endings_[2];
    bool endingsFit_ = false;
};
