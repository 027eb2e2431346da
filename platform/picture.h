#pragma once

#include <cstdint>
#include <vector>

// A picture as the exports read it: one 24-bit colour per pixel, red in the low
// byte, green in the next and blue in the high byte. Transparent pixels are
// stored already composited over black.
class Picture {
public:
    Picture() = default;
    Picture(int width, int height, std::vector<std::uint32_t> colours)
        : width_(width), height_(height), colours_(std::move(colours)) {}

    int width() const { return width_; }
    int height() const { return height_; }
    bool isNull() const { return width_ <= 0 || height_ <= 0; }
    std::uint32_t pixel(int column, int row) const
    {
        return colours_[static_cast<std::size_t>(row) * static_cast<std::size_t>(width_) +
                        static_cast<std::size_t>(column)];
    }

    // The colour at a position in window units. A picture pixel spans 15 / 0.936
    // units across and 15 down; outside the picture the colour is 0 (black).
    std::int32_t colourAt(double x, double y) const
    {
        // Inside the picture the column and row are not negative, where
        // truncation is the floor.
        const double column = x * 0.936 / 15.0;
        const double row = y / 15.0;
        if (!(column >= 0 && column < width_ && row >= 0 && row < height_))
            return 0;
        return static_cast<std::int32_t>(pixel(static_cast<int>(column), static_cast<int>(row)));
    }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> colours_;
};
