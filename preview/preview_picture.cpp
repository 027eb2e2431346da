#include "preview_picture.h"

#include "grid_thinning.h"
#include "relief_renderer.h"

#include <QBuffer>
#include <QImageWriter>

namespace {

// More points than the picture has pixels would add nothing to it.
constexpr std::size_t picturePointBudget = std::size_t(previewPictureSize.width()) * previewPictureSize.height();

}  // namespace

std::string previewPng(const HeightGrid& grid)
{
    const ThinnedGrid thinned = thinGrid(grid, picturePointBudget);
    const QImage picture = renderRelief(thinned.grid, PreviewCamera::threeQuarter(), previewPictureSize);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!QImageWriter(&buffer, "png").write(picture))
        return {};
    return bytes.toStdString();
}
