#include "app_icon.h"

#include <QImage>
#include <QPixmap>

namespace {

// Bands of gray from dark to light across a diagonal, like a lit slope, on
// the 16-colour palette's grays and green.
QImage reliefImage(int size)
{
    const QRgb palette[] = {qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(192, 192, 192), qRgb(255, 255, 255),
                            qRgb(0, 128, 0)};
    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int band = (x + size - 1 - y) * 4 / (2 * size);
            image.setPixel(x, y, (x == y) ? palette[4] : palette[band]);
        }
    return image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
}

}  // namespace

QIcon appIcon()
{
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(reliefImage(16)));
    icon.addPixmap(QPixmap::fromImage(reliefImage(32)));
    return icon;
}

QImage appIconImage(int size)
{
    return reliefImage(size);
}
