#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

// What a picture file's bytes say, read without a decoder.

// Signs that a picture file ends before its picture does. Some decoders say
// so only in a warning, others (BMP, GIF) stop quietly where the data ends
// and hand back a picture with its last rows never decoded, or filled in.

// True when the decoders' messages tell of data that ended early.
bool messagesTellOfEarlyEnd(const QString& messages);

// True when the file's bytes end before the pixel data its header announces
// (BMP, GIF) or before its end marker (JPEG); other formats are left to
// their decoders.
// Only the formats whose decoders stop quietly are looked into.
bool endsBeforeItsPixelData(const uchar* bytes, qint64 size, const QByteArray& format);

// True when the header announces more pixels than the file's bytes can
// code at the format's best (uncompressed BMP, PNG, GIF, Huffman-coded
// JPEG): a decoder would take the memory for them before finding the data
// missing. Never for the formats or codings without such a limit.
bool announcesMorePixelsThanItsBytesHold(const uchar* bytes, qint64 size, const QByteArray& format);

// The size a BMP header announces, where Qt's reader declines to say (it
// reads no BMP over 16384 x 16384 pixels); invalid otherwise.
QSize announcedBmpSize(const uchar* bytes, qint64 size);
