#include "preview_picture.h"

#include "grid_thinning.h"
#include "relief_renderer.h"

#include <QImageWriter>
#include <QSaveFile>

namespace {

// More points than the picture has pixels would add nothing to it.
constexpr std::size_t picturePointBudget = std::size_t(previewPictureSize.width()) * previewPictureSize.height();

bool fail(QString* error, const QString& path, const QString& reason)
{
    if (error)
        *error = QStringLiteral("L'aperçu n'a pas pu être écrit dans « %1 » : %2").arg(path, reason);
    return false;
}

}  // namespace

bool savePreviewPng(const HeightGrid& grid, const QString& path, QString* error)
{
    const ThinnedGrid thinned = thinGrid(grid, picturePointBudget);
    const QImage picture = renderRelief(thinned.grid, PreviewCamera::threeQuarter(), previewPictureSize);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(error, path, file.errorString());
    QImageWriter writer(&file, "png");
    if (!writer.write(picture)) {
        file.cancelWriting();
        return fail(error, path, file.error() != QFileDevice::NoError ? file.errorString() : writer.errorString());
    }
    if (!file.commit())
        return fail(error, path, file.errorString());
    return true;
}
