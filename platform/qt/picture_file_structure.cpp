#include "picture_file_structure.h"

#include <QRegularExpression>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

quint32 littleEndian(const uchar* at, int bytes)
{
    quint32 value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | at[i];
    return value;
}

quint32 bigEndian(const uchar* at, int bytes)
{
    quint32 value = 0;
    for (int i = 0; i < bytes; ++i)
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

enum BmpCompression : quint32 { plain = 0, rle8 = 1, rle4 = 2, bitFields = 3, alphaBitFields = 6 };

bool bmpUncompressed(const BmpHeader& h)
{
    return h.compression == plain || h.compression == bitFields || h.compression == alphaBitFields;
}

// The rows of an uncompressed BMP, counted out, go past the file's end.
// Counted in floating point: a header's sizes may multiply past 64 bits.
bool bmpRowsPastTheEnd(const BmpHeader& h, qint64 size)
{
    const qint64 rowBytes = (h.width * h.bitsPerPixel + 31) / 32 * 4;
    return double(h.dataOffset) + double(rowBytes) * double(h.height) > double(size);
}

// Uncompressed rows are counted out; run-length data must all be there.
bool bmpEndsEarly(const uchar* bytes, qint64 size)
{
    BmpHeader h;
    if (!readBmpHeader(bytes, size, h))
        return true;
    if (h.compression == rle8 || h.compression == rle4)
        return h.dataOffset + h.compressedSize > size;
    if (!bmpUncompressed(h))
        return false;  // JPEG or PNG inside: their own decoders judge
    return bmpRowsPastTheEnd(h, size);
}

qint64 gifColourTableBytes(uchar packed)
{
    return packed & 0x80 ? 3 * (2 << (packed & 7)) : 0;
}

bool skipGifSubBlocks(const uchar* bytes, qint64 size, qint64& at)
{
    while (at < size && bytes[at] != 0)
        at += 1 + bytes[at];
    return at++ < size;  // the terminating empty block is there
}

// The place of the first image's descriptor (after the extensions before
// it), or -1 when the file ends first or holds something else there.
qint64 gifFirstImage(const uchar* bytes, qint64 size, bool& endedEarly)
{
    endedEarly = true;
    if (size < 13)
        return -1;
    qint64 at = 13 + gifColourTableBytes(bytes[10]);
    while (at < size) {
        switch (bytes[at]) {
        case 0x21:  // extension: label, then sub-blocks
            at += 2;
            if (!skipGifSubBlocks(bytes, size, at))
                return -1;
            break;
        case 0x2C:  // image: descriptor, colour table, code size, data
            return at + 10 > size ? -1 : at;
        default:  // the trailer, or bytes the decoder refuses itself
            endedEarly = false;
            return -1;
        }
    }
    return -1;
}

// Walks the blocks up to the end of the first image's data.
bool gifEndsEarly(const uchar* bytes, qint64 size)
{
    bool endedEarly;
    qint64 at = gifFirstImage(bytes, size, endedEarly);
    if (at < 0)
        return endedEarly;
    at += 10 + gifColourTableBytes(bytes[at + 9]) + 1;
    return !skipGifSubBlocks(bytes, size, at);
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

// The most pixels a file can code, at each format's best, beside the pixels
// its header announces.

// Uncompressed rows take exactly their bytes.
bool bmpAnnouncesTooMuch(const uchar* bytes, qint64 size)
{
    BmpHeader h;
    return readBmpHeader(bytes, size, h) && bmpUncompressed(h) && bmpRowsPastTheEnd(h, size);
}

// Deflate codes at best 258 bytes in 2 bits, 1032 to 1; the rows are at
// least a bit a pixel, and a filter byte each unless interlaced.
bool pngAnnouncesTooMuch(const uchar* bytes, qint64 size)
{
    if (size < 29 || std::memcmp(bytes, "\x89PNG\r\n\x1a\n", 8) != 0 || std::memcmp(bytes + 12, "IHDR", 4) != 0)
        return false;
    const double width = bigEndian(bytes + 16, 4), height = bigEndian(bytes + 20, 4);
    const int channels[] = {1, 0, 3, 1, 2, 0, 4};  // by colour type
    const int bitsPerPixel = bytes[25] < 7 ? bytes[24] * channels[bytes[25]] : 0;
    if (bitsPerPixel == 0)
        return false;  // the decoder refuses it itself
    const bool interlaced = bytes[28] != 0;
    const double rawBytes = interlaced ? width * height * bitsPerPixel / 8
                                       : height * (1 + std::ceil(width * bitsPerPixel / 8));
    return rawBytes > 2 * 1032.0 * double(size);  // twice, for a margin
}

// An LZW code takes at least one bit more than the minimum code size, and
// stands for at most 4096 pixels, the size of its table. Only the first
// image's frame is coded: the screen around it may be any size.
bool gifAnnouncesTooMuch(const uchar* bytes, qint64 size)
{
    if (size < 6 || std::memcmp(bytes, "GIF", 3) != 0)
        return false;
    bool endedEarly;
    const qint64 at = gifFirstImage(bytes, size, endedEarly);
    if (at < 0)
        return false;
    const qint64 codeSizeAt = at + 10 + gifColourTableBytes(bytes[at + 9]);
    if (codeSizeAt >= size)
        return false;
    const double frame = double(littleEndian(bytes + at + 5, 2)) * double(littleEndian(bytes + at + 7, 2));
    const int codeBits = std::clamp(bytes[codeSizeAt] + 1, 1, 12);
    return frame > 4096.0 * std::floor(8.0 * double(size) / codeBits);
}

// Huffman coding spends at least a bit on every block of a component (its
// DC difference, in a sequential scan or a progressive first DC scan); a
// block of the most subsampled component covers the most pixels. Twice
// that, for a margin. Arithmetic coding can spend far less, and the other
// processes (lossless, hierarchical) are left to the decoder.
bool jpegAnnouncesTooMuch(const uchar* bytes, qint64 size)
{
    enum : uchar { baseline = 0xC0, extended = 0xC1, progressive = 0xC2, startOfScan = 0xDA };
    if (size < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8)
        return false;
    qint64 at = 2;
    while (at + 4 <= size) {
        const uchar marker = bytes[at + 1];
        if (bytes[at] != 0xFF || marker == 0xFF || marker == 0) {
            ++at;  // bytes the decoder skips on its way to a marker, or a fill byte
            continue;
        }
        const qint64 length = bytes[at + 2] << 8 | bytes[at + 3];
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (marker == startOfScan || (frame && marker != baseline && marker != extended && marker != progressive))
            return false;
        if (!frame) {
            at += 2 + length;
            continue;
        }
        const uchar* f = bytes + at + 4;  // precision, height, width, components
        const int components = at + 10 <= size ? f[5] : 0;
        if (components == 0 || at + 10 + 3 * components > size)
            return false;
        int hMax = 0, vMax = 0, smallest = INT_MAX;
        for (int c = 0; c < components; ++c) {
            const int h = f[7 + 3 * c] >> 4, v = f[7 + 3 * c] & 15;
            hMax = std::max(hMax, h);
            vMax = std::max(vMax, v);
            smallest = std::min(smallest, h * v);
        }
        if (smallest == 0)
            return false;  // the decoder refuses it itself
        const double pixelsPerBlock = 64.0 * hMax * vMax / smallest;
        const double pixels = double(bigEndian(f + 1, 2)) * double(bigEndian(f + 3, 2));
        return pixels > 2 * pixelsPerBlock * 8.0 * double(size);
    }
    return false;
}

}  // namespace

bool announcesMorePixelsThanItsBytesHold(const uchar* bytes, qint64 size, const QByteArray& format)
{
    if (format == "bmp")
        return bmpAnnouncesTooMuch(bytes, size);
    if (format == "png")
        return pngAnnouncesTooMuch(bytes, size);
    if (format == "gif")
        return gifAnnouncesTooMuch(bytes, size);
    if (format == "jpeg" || format == "jpg")
        return jpegAnnouncesTooMuch(bytes, size);
    return false;
}

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
