#include "picture_file_structure.h"

#include <QRegularExpression>

#include <climits>
#include <cstdlib>

namespace {

quint32 littleEndian(const uchar* at, int bytes)
{
    quint32 value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | at[i];
    return value;
}

struct BmpHeader {
    qint64 dataOffset = 0, width = 0, height = 0;
    quint32 bitsPerPixel = 0, compression = 0, compressedSize = 0;
};

bool readBmpHeader(const uchar* bytes, qint64 size, BmpHeader& h)
{
    if (size < 26 || bytes[0] != 'B' || bytes[1] != 'M')
        return false;
    h.dataOffset = littleEndian(bytes + 10, 4);
    const quint32 headerSize = littleEndian(bytes + 14, 4);
    if (headerSize == 12) {
        h.width = littleEndian(bytes + 18, 2);
        h.height = littleEndian(bytes + 20, 2);
        h.bitsPerPixel = littleEndian(bytes + 24, 2);
        return true;
    }
    if (size < 38)
        return false;
    h.width = static_cast<qint32>(littleEndian(bytes + 18, 4));
    h.height = std::llabs(static_cast<qint32>(littleEndian(bytes + 22, 4)));
    h.bitsPerPixel = littleEndian(bytes + 28, 2);
    h.compression = littleEndian(bytes + 30, 4);
    h.compressedSize = littleEndian(bytes + 34, 4);
    return true;
}

// Uncompressed rows are counted out; run-length data must all be there.
bool bmpEndsEarly(const uchar* bytes, qint64 size)
{
    BmpHeader h;
    if (!readBmpHeader(bytes, size, h))
        return true;
    const qint64 dataOffset = h.dataOffset, width = h.width, height = h.height;
    const quint32 bitsPerPixel = h.bitsPerPixel, compression = h.compression, compressedSize = h.compressedSize;
    enum { plain = 0, rle8 = 1, rle4 = 2, bitFields = 3, alphaBitFields = 6 };
    if (compression == rle8 || compression == rle4)
        return dataOffset + compressedSize > size;
    if (compression != plain && compression != bitFields && compression != alphaBitFields)
        return false;  // JPEG or PNG inside: their own decoders judge
    const qint64 rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
    return dataOffset + rowBytes * height > size;
}

// Walks the blocks up to the end of the first image's data.
bool gifEndsEarly(const uchar* bytes, qint64 size)
{
    auto colourTableBytes = [](uchar packed) { return packed & 0x80 ? 3 * (2 << (packed & 7)) : 0; };
    qint64 at = 13;
    if (size < at)
        return true;
    at += colourTableBytes(bytes[10]);
    auto skipSubBlocks = [&] {
        while (at < size && bytes[at] != 0)
            at += 1 + bytes[at];
        return at++ < size;  // the terminating empty block is there
    };
    while (at < size) {
        switch (bytes[at]) {
        case 0x21:  // extension: label, then sub-blocks
            at += 2;
            if (!skipSubBlocks())
                return true;
            break;
        case 0x2C:  // image: descriptor, colour table, code size, data
            if (at + 10 > size)
                return true;
            at += 10 + colourTableBytes(bytes[at + 9]) + 1;
            return !skipSubBlocks();
        default:  // the trailer, or bytes the decoder refuses itself
            return false;
        }
    }
    return true;
}

// Qt's JPEG reader ends data that runs out with an end-of-image marker of its
// own, without a word: the file's own marker must be there. Segments are
// skipped by their length; coded data runs to the next marker other than a
// stuffed 0xFF or a restart.
bool jpegEndsEarly(const uchar* bytes, qint64 size)
{
    enum : uchar { restart0 = 0xD0, restart7 = 0xD7, endOfImage = 0xD9, startOfScan = 0xDA };
    qint64 at = 2;
    while (at + 1 < size) {
        if (bytes[at] != 0xFF)
            return false;  // not a marker: the decoder has refused or warned already
        const uchar marker = bytes[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == endOfImage)
            return false;
        if (at + 4 > size)
            return true;
        at += 2 + (bytes[at + 2] << 8 | bytes[at + 3]);
        if (marker != startOfScan)
            continue;
        for (; at + 1 < size; ++at)
            if (bytes[at] == 0xFF && bytes[at + 1] != 0 && (bytes[at + 1] < restart0 || bytes[at + 1] > restart7))
                break;
    }
    return true;
}

}  // namespace

bool messagesTellOfEarlyEnd(const QString& messages)
{
    // libjpeg's "Premature end of JPEG file" and "premature end of data
    // segment"; libtiff's and others' "unexpected end of file".
    static const QRegularExpression earlyEnd(QStringLiteral("premature end|unexpected end|truncated"),
                                             QRegularExpression::CaseInsensitiveOption);
    return earlyEnd.match(messages).hasMatch();
}

bool endsBeforeItsPixelData(const uchar* bytes, qint64 size, const QByteArray& format)
{
    if (format == "bmp")
        return bmpEndsEarly(bytes, size);
    if (format == "gif")
        return gifEndsEarly(bytes, size);
    if (format == "jpeg" || format == "jpg")
        return jpegEndsEarly(bytes, size);
    return false;
}

QSize announcedBmpSize(const uchar* bytes, qint64 size)
{
    BmpHeader h;
    if (!readBmpHeader(bytes, size, h) || h.width <= 0 || h.height <= 0 || h.width > INT_MAX || h.height > INT_MAX)
        return {};
    return QSize(static_cast<int>(h.width), static_cast<int>(h.height));
}
