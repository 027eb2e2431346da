// Reading picture files: what is refused and why, and the colours of what is read.

#include "platform/qt/picture_loader.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Varied colours, so that no decoder finds a short cut.
QImage pattern(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 37 + y * 11) % 256, (x * y) % 256, (y * 53) % 256));
    return image;
}

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// Qt writes no GIF: a grey-level one whose codes stay 8 bits wide (a clear
// code every 100 pixels), one byte each.
QByteArray gif(int width, int height)
{
    QByteArray bytes("GIF89a");
    auto put16 = [&bytes](int v) { bytes.append(char(v & 0xFF)).append(char(v >> 8)); };
    put16(width), put16(height);
    bytes.append(char(0xE6)).append(2, '\0');  // a 128-entry colour table
    for (int i = 0; i < 128; ++i)
        bytes.append(3, char(2 * i));
    bytes.append(',');
    put16(0), put16(0), put16(width), put16(height);
    bytes.append('\0').append(char(7));

    QByteArray codes;
    for (int i = 0; i < width * height; ++i) {
        if (i % 100 == 0)
            codes.append(char(128));
        codes.append(char((i * 7 + i / width) % 128));
    }
    codes.append(char(129));
    for (int at = 0; at < codes.size(); at += 255) {
        const QByteArray block = codes.mid(at, 255);
        bytes.append(char(block.size())).append(block);
    }
    return bytes.append('\0').append(';');
}

// One colour at LZW's best: each code stands for one pixel more than the
// one before, in codes as narrow as the table allows, cleared when full.
// `pixels` coded, which may fall short of the size announced.
QByteArray uniformGif(QSize size, qint64 pixels)
{
    QByteArray bytes("GIF89a");
    auto put16 = [&bytes](int v) { bytes.append(char(v & 0xFF)).append(char(v >> 8)); };
    put16(size.width()), put16(size.height());
    bytes.append(char(0x80)).append(2, '\0').append("\x10\x20\x30\x40\x50\x60", 6);  // two colours
    bytes.append(',');
    put16(0), put16(0), put16(size.width()), put16(size.height());
    bytes.append('\0').append(char(2));  // 2-bit codes, so 3 bits a code at least

    QByteArray codes;
    quint32 pending = 0;
    int pendingBits = 0, width = 3, nextFree = 6, longest = 1;
    auto put = [&](int code) {
        while (nextFree > (1 << width) && width < 12)
            ++width;
        pending |= quint32(code) << pendingBits;
        for (pendingBits += width; pendingBits >= 8; pendingBits -= 8, pending >>= 8)
            codes.append(char(pending & 0xFF));
    };
    put(4);  // clear
    for (qint64 left = pixels; left > 0;) {
        if (nextFree >= 4095) {
            put(4);
            width = 3, nextFree = 6, longest = 1;
        }
        const int length = int(std::min<qint64>(longest, left));
        put(length == 1 ? 0 : 6 + length - 2);
        left -= length;
        ++nextFree, ++longest;
    }
    put(5);  // end
    if (pendingBits > 0)
        codes.append(char(pending & 0xFF));
    for (int at = 0; at < codes.size(); at += 255) {
        const QByteArray block = codes.mid(at, 255);
        bytes.append(char(block.size())).append(block);
    }
    return bytes.append('\0').append(';');
}

QByteArray uniform(QImage::Format format, const char* fileFormat, bool progressive = false)
{
    QImage image(4000, 4000, format);
    image.fill(format == QImage::Format_Mono ? 0u : 0xFF6080A0u);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, fileFormat);
    writer.setProgressiveScanWrite(progressive);
    writer.setOptimizedWrite(progressive);
    writer.write(image);
    return bytes;
}

quint32 crc32(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFF;
    for (char byte : bytes) {
        crc ^= uchar(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = crc >> 1 ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return ~crc;
}

// A sound file's header made to announce `size`, its data left as it was.
QByteArray announcing(QByteArray bytes, QSize size)
{
    auto put = [&bytes](int at, quint32 value, int length, bool bigEndian) {
        for (int i = 0; i < length; ++i)
            bytes[at + (bigEndian ? length - 1 - i : i)] = char(value >> 8 * i & 0xFF);
    };
    if (bytes.startsWith("BM")) {
        put(18, size.width(), 4, false), put(22, size.height(), 4, false);
    } else if (bytes.startsWith("\x89PNG")) {
        put(16, size.width(), 4, true), put(20, size.height(), 4, true);
        put(29, crc32(bytes.mid(12, 17)), 4, true);
    } else {  // JPEG: the frame header
        int at = 2;
        while (uchar(bytes[at + 1]) != 0xC0 && uchar(bytes[at + 1]) != 0xC2)
            at += 2 + (uchar(bytes[at + 2]) << 8 | uchar(bytes[at + 3]));
        put(at + 5, size.height(), 2, true), put(at + 7, size.width(), 2, true);
    }
    return bytes;
}

struct PictureFiles : ::testing::Test {
    QTemporaryDir dir;
    std::string path(const QString& name) const { return QFile::encodeName(dir.filePath(name)).toStdString(); }
    std::string write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path(name);
    }
};

TEST_F(PictureFiles, CutOffFilesAreDamaged)
{
    const QImage image = pattern(40, 30);
    // After the pixel data, a GIF's trailer byte and a PNG's end chunk may go
    // missing: the picture is still whole.
    const struct {
        const char* name;
        QByteArray whole;
        int tail;
    } formats[] = {{"cut.gif", gif(40, 30), 1},
                   {"cut.bmp", encoded(image, "bmp"), 0},
                   {"cut.jpg", encoded(image, "jpg"), 0},
                   {"cut.png", encoded(image, "png"), 12}};
    for (const auto& f : formats) {
        ASSERT_TRUE(loadPicture(write(f.name, f.whole)).loaded()) << f.name;
        // Every cut past the header, up to the tail.
        for (int size = 100; size < f.whole.size() - f.tail; ++size)
            // A new file each time: rewriting one would wait for the disk.
            EXPECT_EQ(loadPicture(write(QString::number(size) + f.name, f.whole.left(size))).reason(),
                      "fichier endommagé ou incomplet")
                << f.name << " cut to " << size << " of " << f.whole.size() << " bytes";
    }
}

// libjpeg only warns of bytes it skips; the picture is whole.
TEST_F(PictureFiles, JpegWithExtraneousBytesBeforeAMarkerLoads)
{
    QByteArray bytes = encoded(pattern(40, 30), "jpg");
    const int afterApp0 = 4 + (uchar(bytes[4]) << 8 | uchar(bytes[5]));  // before the next marker
    bytes.insert(afterApp0, "\x12\x34\x56", 3);
    const LoadedPicture loaded = loadPicture(write("extra.jpg", bytes));
    ASSERT_TRUE(loaded.loaded());
    EXPECT_EQ(loaded.image.size(), QSize(40, 30));
}

// Within 100 MB: a file refused only once decoded would be too large for that.
TEST_F(PictureFiles, WhatCannotBeAPictureIsRefusedAtOnceWithItsReason)
{
    ASSERT_EQ(mkfifo(path("fifo.png").c_str(), 0600), 0);
    ASSERT_EQ(mkdir(path("folder.png").c_str(), 0700), 0);
    const QImage small = pattern(40, 30);
    const QSize huge(65500, 65500);
    const std::string damaged = "fichier endommagé ou incomplet";
    const struct {
        std::string path;
        PictureFailure failure;
        std::string reason;
    } cases[] = {
        // Headers announcing more pixels than their bytes can code.
        {write("huge.jpg", announcing(encoded(small, "jpg"), huge)), PictureFailure::Damaged, damaged},
        {write("huge.png", announcing(encoded(small, "png"), huge)), PictureFailure::Damaged, damaged},
        {write("huge.bmp", announcing(encoded(small, "bmp"), huge)), PictureFailure::Damaged, damaged},
        {write("huge.gif", uniformGif(huge, 1000)), PictureFailure::Damaged, damaged},
        {path("fifo.png"), PictureFailure::NotRegularFile, "ce n'est pas un fichier ordinaire (tube, périphérique ou socket)"},
        {path("folder.png"), PictureFailure::Folder, "c'est un dossier"},
        {path("missing.png"), PictureFailure::Missing, "fichier introuvable"},
        {write("notes.png", "not a picture at all\n"), PictureFailure::UnknownFormat, "format d'image inconnu"},
        // Latin-1 bytes: decoded as UTF-8 they would name another file.
        {path("") + "caf\xe9.png", PictureFailure::UnfaithfulName, "son nom n'est pas un texte UTF-8 valide"},
    };
    for (const auto& c : cases) {
        auto loading = std::async(std::launch::async, [&] { return loadPicture(c.path, 100 << 20); });
        if (loading.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            // Let a reader stuck on the FIFO go before failing.
            close(open(c.path.c_str(), O_WRONLY | O_NONBLOCK));
            FAIL() << c.path << " was waited on";
        }
        const LoadedPicture loaded = loading.get();
        EXPECT_EQ(loaded.failure, c.failure) << c.path;
        EXPECT_EQ(loaded.reason(), c.reason);
    }
}

// Uniform pictures, coded as tightly as their formats' encoders go (PNG at
// about 970 to 1, JPEG at 2 bits a block), are not taken for ones that
// announce more pixels than their bytes hold.
TEST_F(PictureFiles, UniformPicturesAtTheirFormatsBestCompressionLoad)
{
    const struct {
        const char* name;
        QByteArray bytes;
    } files[] = {
        {"uniform.png", uniform(QImage::Format_Mono, "png")},
        {"grey.jpg", uniform(QImage::Format_Grayscale8, "jpeg", true)},
        {"colour.jpg", uniform(QImage::Format_RGB32, "jpeg", true)},
        {"uniform.gif", uniformGif({4000, 4000}, 4000 * 4000)},
    };
    for (const auto& f : files) {
        const LoadedPicture loaded = loadPicture(write(f.name, f.bytes));
        ASSERT_TRUE(loaded.loaded()) << f.name << ": " << loaded.reason();
        EXPECT_EQ(loaded.image.size(), QSize(4000, 4000)) << f.name;
        EXPECT_EQ(loaded.picture->pixel(3999, 3999), loaded.picture->pixel(0, 0)) << f.name;
    }
}

// Premultiplied by alpha, each 8-bit component as Qt rounds it: composited over black.
TEST_F(PictureFiles, TransparentPixelsAreCompositedOverBlack)
{
    QImage image(64, 16, QImage::Format_ARGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 64; ++x)
            image.setPixel(x, y, qRgba(x * 4, 255 - x * 4, y * 16, (x * 13 + y * 29) % 256));
    const LoadedPicture loaded = loadPicture(write("alpha.png", encoded(image, "png")));
    ASSERT_TRUE(loaded.loaded());
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 64; ++x) {
            const QRgb p = qPremultiply(image.pixel(x, y));
            EXPECT_EQ(loaded.picture->pixel(x, y), quint32(qRed(p) | qGreen(p) << 8 | qBlue(p) << 16)) << x << "," << y;
            EXPECT_EQ(loaded.image.pixel(x, y), qRgb(qRed(p), qGreen(p), qBlue(p)));  // as the windows show it
        }
}

// A JPEG whose EXIF block holds the orientation `tag` (1 to 8) alone. Qt's
// writer turns the pixels instead of writing the tag.
QByteArray withOrientation(QByteArray jpeg, int tag)
{
    QByteArray exif("\xFF\xE1\x00\x22" "Exif\0\0" "MM\x00\x2A\x00\x00\x00\x08" "\x00\x01"
                    "\x01\x12\x00\x03\x00\x00\x00\x01\x00", 29);
    return jpeg.insert(2, exif.append(char(tag)).append(6, '\0'));
}

// A photo's stored orientation is applied as Qt's own reader applies it when
// asked to: the same upright pixels, for every one of the eight tags.
TEST_F(PictureFiles, StoredOrientationIsAppliedAsViewersShowIt)
{
    for (int tag = 1; tag <= 8; ++tag) {
        const std::string path = write(QString("photo%1.jpg").arg(tag), withOrientation(encoded(pattern(6, 4), "jpg"), tag));
        QImageReader reader(QString::fromStdString(path));
        reader.setAutoTransform(true);
        const QImage upright = reader.read().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(upright.width(), tag >= 5 ? 4 : 6);  // the tag was read
        const LoadedPicture loaded = loadPicture(path);
        ASSERT_TRUE(loaded.loaded()) << loaded.reason();
        // The relief's colours are the shown picture's (TransparentPixelsAreCompositedOverBlack).
        EXPECT_EQ(loaded.image.convertToFormat(QImage::Format_RGB32), upright) << tag;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);  // the image format plug-ins
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
