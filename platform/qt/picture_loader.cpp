#include "picture_loader.h"

#include <QImageReader>

QImage readPictureFile(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(false);
    QImage image = reader.read();
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return {};
    return image;
}

Picture pictureFromImage(const QImage& image)
{
    if (image.isNull())
        return {};
    // Premultiplying by alpha is compositing over black.
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (argb.isNull())
        return {};
    std::vector<std::uint32_t> colours;
    colours.reserve(static_cast<std::size_t>(argb.width()) * static_cast<std::size_t>(argb.height()));
    for (int row = 0; row < argb.height(); ++row) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(row));
        for (int column = 0; column < argb.width(); ++column) {
            const QRgb p = line[column];
            colours.push_back(static_cast<std::uint32_t>(qRed(p)) | static_cast<std::uint32_t>(qGreen(p)) << 8 |
                              static_cast<std::uint32_t>(qBlue(p)) << 16);
        }
    }
    return Picture(argb.width(), argb.height(), std::move(colours));
}
