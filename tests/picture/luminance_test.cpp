// The luminance a relief is made from: 16 bits kept from deep files, 256
// levels from 8-bit ones, colours weighted, transparency over black.

#include "platform/qt/picture_loader.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(Luminance, DeepFilesKeepSixteenBitsEightBitFilesGive256LevelsOverBlack)
{
    const struct {
        const char* name;
        QImage::Format format;
        int levels;
    } files[] = {{"grey16.png", QImage::Format_Grayscale16, 65536}, {"colour16.png", QImage::Format_RGBA64, 65536},
                 {"grey16.tif", QImage::Format_Grayscale16, 65536}, {"colour16.tif", QImage::Format_RGBA64, 65536},
                 {"grey8.png", QImage::Format_Grayscale8, 256},     {"colour8.png", QImage::Format_ARGB32, 256}};
    const QTemporaryDir dir;
    for (const auto& f : files) {
        // Row 0 a grey ramp; in colour, row 1 colours and row 2 the same at half opacity.
        const int top = f.levels - 1, half = f.levels / 2, width = 1200;
        const bool grey = f.format == QImage::Format_Grayscale16 || f.format == QImage::Format_Grayscale8;
        auto component = [&](int x, int row) { return (x * (53 + 13 * row) + 7) % f.levels; };
        QImage image(width, 3, f.format);
        image.fill(Qt::black);
        for (int x = 0; x < width; ++x) {
            const int v = component(x, 0), scale = 65535 / top;
            if (f.format == QImage::Format_Grayscale16)  // Qt's setPixelColor keeps 8 bits of this grey
                reinterpret_cast<quint16*>(image.scanLine(0))[x] = quint16(v);
            else
                image.setPixelColor(x, 0, QColor::fromRgba64(v * scale, v * scale, v * scale));
            for (int row = 1; row < 3 && !grey; ++row)
                image.setPixelColor(x, row, QColor::fromRgba64(v * scale, component(x, 1) * scale, component(x, 2) * scale,
                                                               row == 1 ? 65535 : half * scale));
        }
        ASSERT_TRUE(image.save(dir.filePath(f.name)));
        const LoadedPicture loaded = loadPicture(dir.filePath(f.name).toStdString());
        ASSERT_TRUE(loaded.loaded()) << f.name << ": " << loaded.reason();
        const Picture& picture = *loaded.picture;
        EXPECT_EQ(picture.hasDeepLevels(), f.levels == 65536) << f.name;
        EXPECT_EQ(picture.luminanceLevels(), f.levels);
        EXPECT_EQ(loaded.image.format(), QImage::Format_RGBX8888) << f.name;  // no deep copy kept
        std::set<double> distinct;
        for (int x = 0; x < width; ++x) {
            distinct.insert(picture.luminance(x, 0));
            EXPECT_EQ(picture.luminance(x, 0), double(component(x, 0)) / top) << f.name << " at " << x;
            const double weighted = (0.2126 * component(x, 0) + 0.7152 * component(x, 1) + 0.0722 * component(x, 2)) / top;
            if (!grey) {
                EXPECT_NEAR(picture.luminance(x, 1), weighted, 0.5 / top) << f.name << " at " << x;
                EXPECT_NEAR(picture.luminance(x, 2), weighted * half / top, 1.0 / top) << f.name << " at " << x;
            }
        }
        EXPECT_EQ(distinct.size(), std::size_t(std::min(width, f.levels))) << f.name;
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
