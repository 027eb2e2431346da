#pragma once

#include "luma.h"
#include "window_unit.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// A picture as the exports read it: one 24-bit colour per pixel, red in the low
// byte, green in the next and blue in the high byte. Transparent pixels are
// stored already composited over black.
//
// The colours may live in memory the picture does not own (the decoded image
// the windows paint from): 32 bits a pixel, rows `strideBytes` apart, the high
// byte ignored; `owner` keeps that memory alive as long as the picture.
//
// A file with more than 8 bits a component also gives its luminance at
// 16 bits, one level a pixel in rows of `width` (the colours keep 8 bits).
class Picture {
public:
    Picture() = default;
    Picture(int width, int height, std::vector<std::uint32_t> colours)
    {
        auto owned = std::make_shared<const std::vector<std::uint32_t>>(std::move(colours));
        *this = Picture(width, height, owned->data(), static_cast<std::ptrdiff_t>(width) * 4, owned);
    }
    using LuminancePlane = std::vector<std::uint16_t>;

    Picture(int width, int height, const std::uint32_t* firstRow, std::ptrdiff_t strideBytes,
            std::shared_ptr<const void> owner, std::shared_ptr<const LuminancePlane> deepLuminance = {})
        : width_(width), height_(height), firstRow_(reinterpret_cast<const unsigned char*>(firstRow)),
          strideBytes_(strideBytes), owner_(std::move(owner)), deepLuminance_(std::move(deepLuminance))
    {
    }

    int width() const { return width_; }
    int height() const { return height_; }
    bool isNull() const { return width_ <= 0 || height_ <= 0; }
    std::uint32_t pixel(int column, int row) const
    {
        const auto* line = reinterpret_cast<const std::uint32_t*>(firstRow_ + row * strideBytes_);
        return line[column] & 0xFFFFFFu;
    }

    // The pixel column and row of a position in window units: a pixel spans
    // 15 / 0.936 units across and 15 down. -1 outside the picture (inside,
    // where the position is not negative, truncation is the floor).
    int columnOf(double x) const
    {
        // Multiplied then divided, as the picture has always been read.
        const double column = x * window_unit::acrossRatio / window_unit::perPixelDown;
        return column >= 0 && column < width_ ? static_cast<int>(column) : -1;
    }
    int rowOf(double y) const
    {
        const double row = y / window_unit::perPixelDown;
        return row >= 0 && row < height_ ? static_cast<int>(row) : -1;
    }

    // The colour of a pixel found by columnOf and rowOf: 0 (black) outside.
    std::int32_t colourAtPixel(int column, int row) const
    {
        return column < 0 || row < 0 ? 0 : static_cast<std::int32_t>(pixel(column, row));
    }
    std::int32_t colourAt(double x, double y) const { return colourAtPixel(columnOf(x), rowOf(y)); }

    // The luminance of a pixel inside the picture (lumaOf, over black where
    // transparent), from 0 for black to 1 for white, at the file's own
    // precision: one of luminanceLevels() evenly spaced values.
    double luminance(int column, int row) const
    {
        if (deepLuminance_)
            return (*deepLuminance_)[static_cast<std::size_t>(row) * static_cast<std::size_t>(width_) +
                                     static_cast<std::size_t>(column)] / 65535.0;
        const std::uint32_t colour = pixel(column, row);
        return lumaOf(colour & 0xFFu, colour >> 8 & 0xFFu, colour >> 16) / 255.0;
    }
    // A 16-bit luminance plane is held: the file had more than 8 bits a component.
    bool hasDeepLevels() const { return deepLuminance_ != nullptr; }
    int luminanceLevels() const { return hasDeepLevels() ? 65536 : 256; }

private:
    int width_ = 0;
    int height_ = 0;
    const unsigned char* firstRow_ = nullptr;
    std::ptrdiff_t strideBytes_ = 0;
    std::shared_ptr<const void> owner_;
    std::shared_ptr<const LuminancePlane> deepLuminance_;
};
