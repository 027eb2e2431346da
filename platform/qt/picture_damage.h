#pragma once

#include <QByteArray>
#include <QString>

// Signs that a picture file ends before its picture does. Some decoders say
// so only in a warning, others (BMP, GIF) stop quietly where the data ends
// and hand back a picture with its last rows never decoded.

// True when the decoders' messages tell of data that ended early.
bool messagesTellOfEarlyEnd(const QString& messages);

// True when the file's bytes end before the pixel data its header announces.
// Only the formats whose decoders stop quietly are looked into.
bool endsBeforeItsPixelData(const uchar* bytes, qint64 size, const QByteArray& format);
