#include "corner_writer.h"

#include "number_text.h"

#include <cstring>

namespace {

// Bounds of the stores: enough columns for a walk over the widest pictures
// at a fine step; beyond it texts are made on every use.
constexpr std::size_t maxColumns = 8192;
constexpr std::size_t zSets = 1024;  // two ways each

std::uint64_t bitsOf(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

std::size_t zSet(std::uint64_t bits)
{
    return static_cast<std::size_t>((bits * 0x9E3779B97F4A7C15ULL) >> 54) & (zSets - 1);
}

// Puts the parts one after the other into a piece's text, if they fit.
bool fill(char* text, std::uint32_t& length, std::initializer_list<std::string_view> parts, std::size_t size)
{
    std::size_t total = 0;
    for (std::string_view part : parts)
        total += part.size();
    if (total > size)
        return false;
    for (std::string_view part : parts) {
        if (part.empty())
            continue;
        std::memcpy(text, part.data(), part.size());
        text += part.size();
    }
    length = static_cast<std::uint32_t>(total);
    return true;
}

}  // namespace

CornerWriter::CornerWriter(const CornerStyle& style) : style_(style), zs_(2 * zSets)
{
    const std::string_view lineEnd = style.endsLine ? "\r\n" : "";
    endingsFit_ = fill(endings_[0].text, endings_[0].length, {style.afterZ, lineEnd}, textSize) &&
                  fill(endings_[1].text, endings_[1].length, {style.afterLastZ, lineEnd}, textSize);
}

// Makes a piece's text exactly as the plain corner line has it; false when
// it does not fit in a piece.
bool CornerWriter::make(Piece& piece, Kind kind, double value)
{
    scratch_.clear();
    appendNumberText(scratch_, value, style_.decimalPoint);
    std::string_view number = scratch_;
    bool made = false;
    switch (kind) {
    case Kind::X:
        made = fill(piece.text, piece.length, {style_.xLabel, number, style_.yLabel}, textSize);
        break;
    case Kind::Y:
        made = fill(piece.text, piece.length, {cutToEight(number), style_.zLabel}, textSize);
        break;
    case Kind::Z:
        made = fill(piece.text, piece.length, {number}, textSize);
        break;
    }
    if (!made) {
        piece.length = 0;
        return false;
    }
    piece.key = bitsOf(value);
    return true;
}

const CornerWriter::Piece* CornerWriter::xPiece(std::uint64_t column, double value)
{
    if (column >= maxColumns)
        return nullptr;
    if (column >= xs_.size())
        xs_.resize(static_cast<std::size_t>(column) + 1);
    Piece& piece = xs_[static_cast<std::size_t>(column)];
    if (piece.length != 0 && piece.key == bitsOf(value))
        return &piece;
    return make(piece, Kind::X, value) ? &piece : nullptr;
}

const CornerWriter::Piece* CornerWriter::yPiece(double value)
{
    const std::uint64_t key = bitsOf(value);
    for (int i = 0; i < 2; ++i)
        if (ys_[i].key == key && ys_[i].length != 0) {
            yOlder_ = 1 - i;
            return &ys_[i];
        }
    Piece& piece = ys_[yOlder_];
    if (!make(piece, Kind::Y, value))
        return nullptr;
    yOlder_ = 1 - yOlder_;
    return &piece;
}

const CornerWriter::Piece* CornerWriter::zPiece(double value)
{
    const std::uint64_t key = bitsOf(value);
    Piece* set = &zs_[2 * zSet(key)];
    if (set[0].key == key && set[0].length != 0)
        return &set[0];
    if (set[1].key == key && set[1].length != 0)
        return &set[1];
    // The newest text goes first; the one it displaces becomes second.
    Piece made;
    if (!make(made, Kind::Z, value))
        return nullptr;
    set[1] = set[0];
    set[0] = made;
    return &set[0];
}

void CornerWriter::write(TextOutput& out, std::uint64_t column, double x, double y, double scale, double depth,
                         bool lastCorner)
{
    const Piece* xp = xPiece(column, scale * x);
    const Piece* yp = yPiece(scale * y);
    const Piece* zp = zPiece(depth);
    if (!xp || !yp || !zp || !endingsFit_)
        return writePlain(out, x, y, scale, depth, lastCorner);
    const Piece& ending = endings_[lastCorner ? 1 : 0];
    char* p = out.room(4 * textSize);
    std::memcpy(p, xp->text, textSize);
    p += xp->length;
    std::memcpy(p, yp->text, textSize);
    p += yp->length;
    std::memcpy(p, zp->text, textSize);
    p += zp->length;
    std::memcpy(p, ending.text, textSize);
    p += ending.length;
    out.wrote(p);
}

// The line made piece by piece, for texts too long to keep.
void CornerWriter::writePlain(TextOutput& out, double x, double y, double scale, double depth, bool lastCorner)
{
    std::string line(style_.xLabel);
    appendNumberText(line, scale * x, style_.decimalPoint);
    line += style_.yLabel;
    const std::size_t yStart = line.size();
    appendNumberText(line, scale * y, style_.decimalPoint);
    line.resize(yStart + cutToEight(std::string_view(line).substr(yStart)).size());
    line += style_.zLabel;
    appendNumberText(line, depth, style_.decimalPoint);
    line += lastCorner ? style_.afterLastZ : style_.afterZ;
    if (style_.endsLine)
        out.writeLine(line);
    else
        out.write(line);
}
