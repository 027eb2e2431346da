// The luminance a relief is made from: 16 bits kept from deep files, 256
// levels from 8-bit ones, colours weighted, transparency over black.

#include "platform/qt/picture_loader.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// Row 0 a grey ramp of 1200 levels; for a colour format, row 1 colours and
// row 2 the same at half opacity.
QImage deepRamp(QImage::Format format)
{
    QImage image(1200, 3, format);
    image.fill(Qt::black);
    for (int x = 0; x < 1200; ++x) {
        const quint16 v = quint16(x * 54 + 7), w = quint16(65535 - x * 31);
        if (format == QImage::Format_Grayscale16) {  // Qt's setPixelColor keeps 8 bits of a grey
            reinterpret_cast<quint16*>(image.scanLine(0))[x] = v;
            continue;
        }
        image.setPixelColor(x, 0, QColor::fromRgba64(v, v, v));
        image.setPixelColor(x, 1, QColor::fromRgba64(v, w, quint16(x * 13)));
        image.setPixelColor(x, 2, QColor::fromRgba64(v, w, quint16(x * 13), 32768));
    }
    return image;
}

double weighted(QRgba64 c) { return (0.2126 * c.red() + 0.7152 * c.green() + 0.0722 * c.blue()) / 65535; }

TEST(Luminance, DeepFilesKeepSixteenBitsAndOnlyAnEightBitCopyOfTheirColours)
{
    const struct {
        const char* name;
        QImage::Format format;
    } files[] = {{"grey.png", QImage::Format_Grayscale16}, {"colour.png", QImage::Format_RGBA64},
                 {"grey.tif", QImage::Format_Grayscale16}, {"colour.tif", QImage::Format_RGBA64}};
    const QTemporaryDir dir;
    for (const auto& f : files) {
        const QImage image = deepRamp(f.format);
        ASSERT_TRUE(image.save(dir.filePath(f.name)));
        const LoadedPicture loaded = loadPicture(dir.filePath(f.name).toStdString());
        ASSERT_TRUE(loaded.loaded()) << f.name << ": " << loaded.reason();
        const Picture& picture = *loaded.picture;
        EXPECT_TRUE(picture.hasDeepLevels()) << f.name;
        EXPECT_EQ(picture.luminanceLevels(), 65536);
        EXPECT_EQ(loaded.image.format(), QImage::Format_RGBX8888) << f.name;  // the deep copy is gone
        std::set<double> levels;
        for (int x = 0; x < 1200; ++x) {
            levels.insert(picture.luminance(x, 0));
            EXPECT_EQ(picture.luminance(x, 0), (x * 54 + 7) / 65535.0) << f.name << " at " << x;
            if (f.format == QImage::Format_Grayscale16)
                continue;
            const QRgba64 c = image.pixelColor(x, 1).rgba64();
            EXPECT_NEAR(picture.luminance(x, 1), weighted(c), 0.5 / 65535) << f.name << " at " << x;
            EXPECT_NEAR(picture.luminance(x, 2), weighted(c) * 32768 / 65535, 1.0 / 65535) << f.name << " at " << x;
        }
        EXPECT_EQ(levels.size(), 1200u) << f.name;
    }
}

TEST(Luminance, EightBitPicturesGive256LevelsWithoutADeepPlane)
{
    QImage grey(256, 1, QImage::Format_Grayscale8), colour(256, 2, QImage::Format_ARGB32);
    for (int x = 0; x < 256; ++x) {
        grey.setPixel(x, 0, qRgb(x, x, x));
        colour.setPixel(x, 0, qRgb(x, 255 - x, x / 2));
        colour.setPixel(x, 1, qRgba(x, 255 - x, x / 2, 128));
    }
    const QTemporaryDir dir;
    ASSERT_TRUE(grey.save(dir.filePath("grey.png")) && colour.save(dir.filePath("colour.png")));
    const LoadedPicture greyFile = loadPicture(dir.filePath("grey.png").toStdString());
    const LoadedPicture colourFile = loadPicture(dir.filePath("colour.png").toStdString());
    ASSERT_TRUE(greyFile.loaded() && colourFile.loaded());
    for (const LoadedPicture* file : {&greyFile, &colourFile}) {
        EXPECT_FALSE(file->picture->hasDeepLevels());
        EXPECT_EQ(file->picture->luminanceLevels(), 256);
    }
    for (int x = 0; x < 256; ++x) {
        EXPECT_EQ(greyFile.picture->luminance(x, 0), x / 255.0) << x;
        const double opaque = (0.2126 * x + 0.7152 * (255 - x) + 0.0722 * (x / 2)) / 255;
        EXPECT_NEAR(colourFile.picture->luminance(x, 0), opaque, 0.5 / 255) << x;
        EXPECT_NEAR(colourFile.picture->luminance(x, 1), opaque * 128 / 255, 1.0 / 255) << x;
    }
}

// The memory a picture needs counts the deep plane, 2 bytes a pixel, for deep files only.
TEST(Luminance, TheDeepPlaneIsCountedInTheMemoryAPictureNeeds)
{
    const QTemporaryDir dir;
    ASSERT_TRUE(QImage(1000, 1000, QImage::Format_Grayscale16).save(dir.filePath("deep.png")));
    ASSERT_TRUE(QImage(1000, 1000, QImage::Format_Grayscale8).save(dir.filePath("flat.png")));
    const std::string tooLarge = "image de 1000 x 1000 pixels : trop grande pour la mémoire de cet ordinateur";
    const struct {
        const char* name;
        std::uint64_t budget;  // bytes
        std::string reason;    // none when it loads
    } cases[] = {{"deep.png", 8'000'000, ""}, {"deep.png", 7'999'999, tooLarge}, {"flat.png", 5'000'000, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(loadPicture(dir.filePath(c.name).toStdString(), c.budget).reason(), c.reason)
            << c.name << " in " << c.budget << " bytes";
}

}  // namespace
