#include "picture_loader.h"

#include "decoder_messages.h"
#include "luminance_plane.h"
#include "picture_file_structure.h"

#include "platform/available_memory.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTransform>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <new>

namespace {

LoadedPicture failed(PictureFailure failure, QSize size = {})
{
    LoadedPicture result;
    result.failure = failure;
    result.size = size;
    return result;
}

PictureFailure failureOfErrno(int error)
{
    return error == ENOENT || error == ENOTDIR ? PictureFailure::Missing : PictureFailure::Unreadable;
}

bool nameIsFaithful(const std::string& path)
{
    const QByteArray bytes(path.data(), static_cast<qsizetype>(path.size()));
    return !path.empty() && !bytes.contains('\0') && QFile::encodeName(QFile::decodeName(bytes)) == bytes;
}

// The file's type is known before it is opened, and opening never blocks, so
// a FIFO swapped in between is still refused, not waited on.
PictureFailure openRegularFile(const std::string& path, QFile& file)
{
    struct stat status {};
    if (stat(path.c_str(), &status) != 0)
        return failureOfErrno(errno);
    if (S_ISDIR(status.st_mode))
        return PictureFailure::Folder;
    if (!S_ISREG(status.st_mode))
        return PictureFailure::NotRegularFile;
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return failureOfErrno(errno);
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(descriptor);
        return PictureFailure::NotRegularFile;
    }
    fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        close(descriptor);
        return PictureFailure::Unreadable;
    }
    return PictureFailure::None;
}

// The contents decide; the name's suffix serves only formats that have no
// signature (TGA), and a file its reader then cannot read is of no format
// known here rather than damaged.
struct GuessedFormat {
    QByteArray name;
    bool bySuffix = false;
};

GuessedFormat formatOf(QFile& file, const std::string& path)
{
    const QByteArray byContents = QImageReader::imageFormat(&file);
    if (!byContents.isEmpty())
        return {byContents, false};
    const QByteArray suffix = QFileInfo(QFile::decodeName(path.c_str())).suffix().toLower().toLatin1();
    return {QImageReader::supportedImageFormats().contains(suffix) ? suffix : QByteArray(), true};
}

// The decoded image, the exports' copy when the decoder gives other than
// 32 bits a pixel, and for a file of more than 8 bits a component the
// luminance plane (2 bytes a pixel, made before that copy), must all fit.
quint64 bytesNeeded(QSize size, QImage::Format decodedFormat)
{
    const quint64 pixels = quint64(size.width()) * quint64(size.height());
    const int decodedBits = decodedFormat == QImage::Format_Invalid
                                ? 32
                                : QImage::toPixelFormat(decodedFormat).bitsPerPixel();
    return pixels * decodedBits / 8 + (decodedBits == 32 ? 0 : pixels * 4) +
           (hasMoreThanEightBits(decodedFormat) ? pixels * 2 : 0);
}

// Qt's reader refuses, by default, any picture over 128 MiB; the limit is
// raised for this picture only, within what the memory can hold.
class AllocationLimit {
public:
    explicit AllocationLimit(quint64 bytes) : previous_(QImageReader::allocationLimit())
    {
        QImageReader::setAllocationLimit(static_cast<int>(std::min<quint64>(bytes / (1 << 20) + 1, INT_MAX)));
    }
    ~AllocationLimit() { QImageReader::setAllocationLimit(previous_); }

private:
    int previous_;
};

// Calls `read` with the file's bytes, mapped for the time of the call; false
// when they cannot be mapped.
template <typename Read>
bool readFileBytes(QFile& file, Read read)
{
    const qint64 size = file.size();
    uchar* bytes = size > 0 ? file.map(0, size) : nullptr;
    if (!bytes)
        return false;
    read(bytes, size);
    file.unmap(bytes);
    return true;
}

bool fileEndsEarly(QFile& file, const QByteArray& format)
{
    bool early = true;
    readFileBytes(file, [&](const uchar* bytes, qint64 size) { early = endsBeforeItsPixelData(bytes, size, format); });
    return early;
}

// A few bytes may announce more pixels than they can code: the decoder
// would take the memory for them all before finding the data missing.
bool announcesMoreThanItHolds(QFile& file, const QByteArray& format)
{
    bool more = false;
    readFileBytes(file, [&](const uchar* bytes, qint64 size) {
        more = announcesMorePixelsThanItsBytesHold(bytes, size, format);
    });
    return more;
}

QSize announcedSize(QImageReader& reader, QFile& file)
{
    QSize size = reader.size();
    if (!size.isValid() && reader.format() == "bmp")
        readFileBytes(file, [&](const uchar* bytes, qint64 length) { size = announcedBmpSize(bytes, length); });
    return size;
}

// Turns the image upright as its stored orientation (a photo's EXIF tag)
// says, the way Qt's own reader would: a mirror and a flip in place, then a
// quarter turn, which needs a second image for the time of the turn.
void applyOrientation(QImage& image, QImageIOHandler::Transformations orientation)
{
    if (orientation == QImageIOHandler::TransformationNone)
        return;
    if (orientation == QImageIOHandler::TransformationRotate270) {
        image = image.transformed(QTransform().rotate(270));
        return;
    }
    const bool mirror = orientation & QImageIOHandler::TransformationMirror;
    const bool flip = orientation & QImageIOHandler::TransformationFlip;
    if (mirror || flip)
        image.mirror(mirror, flip);
    if (orientation & QImageIOHandler::TransformationRotate90)
        image = image.transformed(QTransform().rotate(90));
}

}  // namespace

std::string LoadedPicture::reason() const
{
    switch (failure) {
    case PictureFailure::None:
        break;
    case PictureFailure::UnfaithfulName:
        return "son nom n'est pas un texte UTF-8 valide";
    case PictureFailure::Missing:
        return "fichier introuvable";
    case PictureFailure::Folder:
        return "c'est un dossier";
    case PictureFailure::NotRegularFile:
        return "ce n'est pas un fichier ordinaire (tube, périphérique ou socket)";
    case PictureFailure::Unreadable:
        return "lecture non autorisée ou impossible";
    case PictureFailure::UnknownFormat:
        return "format d'image inconnu";
    case PictureFailure::Damaged:
        return "fichier endommagé ou incomplet";
    case PictureFailure::TooLarge:
        return QStringLiteral("image de %1 x %2 pixels : trop grande pour la mémoire de cet ordinateur")
            .arg(size.width())
            .arg(size.height())
            .toStdString();
    }
    return {};
}

LoadedPicture loadPicture(const std::string& path, std::uint64_t memoryBudget)
{
    if (!nameIsFaithful(path))
        return failed(PictureFailure::UnfaithfulName);
    QFile file;
    if (const PictureFailure failure = openRegularFile(path, file); failure != PictureFailure::None)
        return failed(failure);

    const DecoderMessages messages;
    const GuessedFormat format = formatOf(file, path);
    if (format.name.isEmpty())
        return failed(PictureFailure::UnknownFormat);
    QImageReader reader(&file, format.name);
    reader.setAutoTransform(false);
    auto unreadable = [&reader, &format](QSize size = {}) {
        const bool unknown = format.bySuffix || reader.error() == QImageReader::UnsupportedFormatError;
        return failed(unknown ? PictureFailure::UnknownFormat : PictureFailure::Damaged, size);
    };
    const QSize size = announcedSize(reader, file);
    if (!size.isValid() && reader.error() != QImageReader::UnknownError)
        return unreadable();
    if (announcesMoreThanItHolds(file, format.name))
        return failed(PictureFailure::Damaged, size);
    const quint64 available = memoryBudget > 0 ? memoryBudget : availableMemoryBytes();
    if (size.isValid() && bytesNeeded(size, reader.imageFormat()) > available)
        return failed(PictureFailure::TooLarge, size);

    QImage image;
    {
        const AllocationLimit limit(size.isValid() ? bytesNeeded(size, reader.imageFormat()) : available);
        if (!reader.read(&image) || image.isNull())
            return unreadable(size);
    }
    if (messagesTellOfEarlyEnd(messages.text()) || fileEndsEarly(file, format.name))
        return failed(PictureFailure::Damaged, size);
    applyOrientation(image, reader.transformation());
    if (image.isNull())
        return failed(PictureFailure::TooLarge, size);
    LoadedPicture result = pictureFromImage(std::move(image));
    if (result.failure == PictureFailure::TooLarge)
        result.size = size;
    return result;
}

LoadedPicture pictureFromImage(QImage image)
{
    if (image.isNull())
        return failed(PictureFailure::Damaged);
    // Made from the deep image before its 8-bit copy replaces it.
    std::shared_ptr<const Picture::LuminancePlane> deepLuminance;
    if (hasMoreThanEightBits(image.format())) {
        try {
            deepLuminance = luminancePlaneOf(image);
        } catch (const std::bad_alloc&) {
            return failed(PictureFailure::TooLarge, image.size());
        }
    }
    // Premultiplying by alpha is compositing over black; then each pixel is
    // rewritten in place as 0xFFBBGGRR, the exports' colour under an opaque alpha.
    image.convertTo(QImage::Format_ARGB32_Premultiplied);
    if (image.isNull() || image.format() != QImage::Format_ARGB32_Premultiplied)
        return failed(PictureFailure::TooLarge, image.size());
    const int width = image.width();
    for (int row = 0; row < image.height(); ++row) {
        auto* line = reinterpret_cast<quint32*>(image.scanLine(row));
        for (int column = 0; column < width; ++column) {
            const quint32 p = line[column];
            line[column] = 0xFF000000u | (p & 0xFF00u) | (p >> 16 & 0xFFu) | (p & 0xFFu) << 16;
        }
    }
    image.reinterpretAsFormat(QImage::Format_RGBX8888);

    LoadedPicture result;
    result.size = image.size();
    result.image = image;
    auto owner = std::make_shared<const QImage>(image);  // shares the pixels, keeps them alive
    result.picture = std::make_shared<const Picture>(width, owner->height(),
                                                     reinterpret_cast<const std::uint32_t*>(owner->constBits()),
                                                     static_cast<std::ptrdiff_t>(owner->bytesPerLine()), owner,
                                                     std::move(deepLuminance));
    return result;
}
