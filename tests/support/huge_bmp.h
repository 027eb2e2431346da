#pragma once

#include <QByteArray>

// A BMP header announcing 60000 x 60000 pixels of 32 bits, its data cut short.
inline QByteArray hugeBmpHeader()
{
    QByteArray bmp("BM");
    auto put32 = [&bmp](quint32 v) {
        for (int i = 0; i < 4; ++i)
            bmp.append(char((v >> (8 * i)) & 0xFF));
    };
    put32(54 + 16), put32(0), put32(54);                                // file header
    put32(40), put32(60000), put32(60000), put32(1 | 32 << 16);         // one plane, 32 bits
    put32(0), put32(0), put32(2835), put32(2835), put32(0), put32(0);   // uncompressed
    return bmp.append(16, '\x7f');
}
