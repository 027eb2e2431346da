#include "picture_damage.h"

#include <QRegularExpression>

#include <cstdlib>

namespace {

quint32 littleEndian(const uchar* at, int bytes)
{
    quint32 value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | at[i];
    return value;
}

// Uncompressed rows are counted out; run-length data must all be there.
bool bmpEndsEarly(const uchar* bytes, qint64 size)
{
    if (size < 26)
        return true;
    const qint64 dataOffset = littleEndian(bytes + 10, 4);
    const quint32 headerSize = littleEndian(bytes + 14, 4);
    qint64 width, height;
    quint32 bitsPerPixel, compression = 0, compressedSize = 0;
    if (headerSize == 12) {
        width = littleEndian(bytes + 18, 2);
        height = littleEndian(bytes + 20, 2);
        bitsPerPixel = littleEndian(bytes + 24, 2);
    } else {
        if (size < 38)
            return true;
        width = static_cast<qint32>(littleEndian(bytes + 18, 4));
        height = std::llabs(static_cast<qint32>(littleEndian(bytes + 22, 4)));
        bitsPerPixel = littleEndian(bytes + 28, 2);
        compression = littleEndian(bytes + 30, 4);
        compressedSize = littleEndian(bytes + 34, 4);
    }
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
    return false;
}
