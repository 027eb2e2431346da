#include "luminance_plane.h"

#include <QRect>
#include <QRgba64>

#include <algorithm>
#include <cstdint>
#include <new>

bool hasMoreThanEightBits(QImage::Format format)
{
    // The first component's size: red, or the grey of a grey format.
    return format != QImage::Format_Invalid && QImage::toPixelFormat(format).redSize() > 8;
}

std::shared_ptr<const Picture::LuminancePlane> luminancePlaneOf(const QImage& image)
{
    const int width = image.width();
    auto plane = std::make_shared<Picture::LuminancePlane>(static_cast<std::size_t>(width) *
                                                           static_cast<std::size_t>(image.height()));
    std::uint16_t* level = plane->data();
    for (int row = 0; row < image.height(); ++row) {
        if (image.format() == QImage::Format_Grayscale16) {
            const auto* grey = reinterpret_cast<const std::uint16_t*>(image.constScanLine(row));
            level = std::copy(grey, grey + width, level);
            continue;
        }
        // One row at a time in Qt's own 16-bit premultiplied form (over
        // black), so that no second whole image is needed.
        const QImage line = image.copy(QRect(0, row, width, 1)).convertToFormat(QImage::Format_RGBA64_Premultiplied);
        if (line.isNull())
            throw std::bad_alloc();
        const auto* colours = reinterpret_cast<const QRgba64*>(line.constScanLine(0));
        for (int column = 0; column < width; ++column, ++level)
            *level = static_cast<std::uint16_t>(lumaOf(colours[column].red(), colours[column].green(), colours[column].blue()));
    }
    return plane;
}
