// Whole ASCII point-cloud files, byte for byte.

#include "export/ascii_export.h"
#include "relief/export_command.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

const std::string asciiHead = "!\r\n!ASCII g\xE9n\xE9r\xE9 par l'Orvanel\r\n!\r\n!\r\n!\r\n";

// Runs the ASCII export over a picture and the lines given as
// (Line1.X1, Line4.X1, Line2.Y1, Line3.Y1), returning the file written.
std::string exportAscii(const Picture& picture, EdgeLines lines, FieldTexts fields = {"0.5", "0.001 ", "50"})
{
    return exportToMemory(format("ascii"), {fields, lines, std::make_shared<const Picture>(picture)});
}

TEST(AsciiFile, EmptyWalkIsTheHeadAlone)
{
    EXPECT_EQ(exportAscii({}, {40, 0, 500, 0}), asciiHead);
}

TEST(AsciiFile, OneCellOfTheWorkedExample)
{
    // Red 200; green and blue play no part.
    const std::string expected = asciiHead +
                                 "X 0,1 Y 0,2 Z 0,392156862745098 \r\n"
                                 "X 0,15 Y 0,2 Z 0,392156862745098 \r\n"
                                 "X 0,1 Y 0,25 Z 0,392156862745098 \r\n"
                                 "X 0,15 Y 0,25 Z 0,392156862745098\r\n";
    EXPECT_EQ(exportAscii(uniformPicture(20, 20, 0x3264C8), {150, 100, 250, 200}), expected);
}

// 2 x 2 cells over a black picture with one bright pixel under (50, 0): as
// the right-hand corner of the first cell it is a spike and is smoothed to 0;
// as the left-hand corner of the second it keeps its own depth.
TEST(AsciiFile, TwoByTwoGridWithAFilteredCorner)
{
    std::vector<std::uint32_t> colours(10 * 10, 0);
    colours[3] = 200;
    const std::string expected = asciiHead +
                                 "X 0 Y 0 Z 0 \r\nX 0,05 Y 0 Z 0 \r\nX 0 Y 0,05 Z 0 \r\nX 0,05 Y 0,05 Z 0\r\n"
                                 "X 0,05 Y 0 Z 0,392156862745098 \r\nX 0,1 Y 0 Z 0 \r\nX 0,05 Y 0,05 Z 0 \r\n"
                                 "X 0,1 Y 0,05 Z 0\r\n"
                                 "X 0 Y 0,05 Z 0 \r\nX 0,05 Y 0,05 Z 0 \r\nX 0 Y 0,1 Z 0 \r\nX 0,05 Y 0,1 Z 0\r\n"
                                 "X 0,05 Y 0,05 Z 0 \r\nX 0,1 Y 0,05 Z 0 \r\nX 0,05 Y 0,1 Z 0 \r\nX 0,1 Y 0,1 Z 0\r\n";
    EXPECT_EQ(exportAscii(Picture(10, 10, colours), {120, 0, 100, 0}), expected);
}

TEST(AsciiFile, YIsCutXIsNotAndNegativeDepthsKeepTheirSign)
{
    const std::string expected = asciiHead +
                                 "X 0,1235234 Y 0,123523 Z -0,196078431372549 \r\n"
                                 "X 0,1247574 Y 0,123523 Z -0,196078431372549 \r\n"
                                 "X 0,1235234 Y 0,124757 Z -0,196078431372549 \r\n"
                                 "X 0,1247574 Y 0,124757 Z -0,196078431372549\r\n";
    EXPECT_EQ(exportAscii(uniformPicture(100, 100, 100), {1011, 1001, 1011, 1001}, {"-0.5", "0.0001234", "10"}),
              expected);
}

TEST(AsciiFile, WholeNumbersCarryNoDecimalPart)
{
    const std::string expected = asciiHead + "X 50 Y 0 Z 0 \r\nX 100 Y 0 Z 0 \r\nX 50 Y 50 Z 0 \r\nX 100 Y 50 Z 0\r\n";
    EXPECT_EQ(exportAscii(uniformPicture(10, 10, 1), {100, 50, 50, 0}, {"0.5", "1", "50"}), expected);
}

TEST(AsciiFile, SameBytesUnderAFrenchLocale)
{
    std::vector<std::uint32_t> colours(10 * 10, 0);
    colours[3] = 200;
    const Picture picture(10, 10, colours);
    const std::string underC = exportAscii(picture, {120, 0, 100, 0}, {"0.5", "0.001 ", "50"});
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "fr_FR.UTF-8"))
        GTEST_SKIP() << "fr_FR.UTF-8 is not installed";
    const std::string underFrench = exportAscii(picture, {120, 0, 100, 0}, {"0.5", "0.001 ", "50"});
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(underFrench, underC);
}

}  // namespace
