// Whole VRML 1.0 and VRML 2.0 files, byte for byte.

#include "export/vrml1_export.h"
#include "export/vrml2_export.h"
#include "relief/export_command.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>

namespace {

// Joins lines, each ended by CRLF.
std::string crlf(std::initializer_list<const char*> lines)
{
    std::string text;
    for (const char* line : lines)
        text.append(line).append("\r\n");
    return text;
}

const std::string vrml1Head = crlf({
    "#VRML V1.0 ascii",
    "Separator {",
    "MaterialBinding {",
    "value OVERALL",
    "}",
    "Material {",
    "ambientColor [",
    " 0.752941 0.752941 0.752941",
    "]",
    "diffuseColor [",
    " 0.594824 0.594824 0.594824",
    "]",
    "emissiveColor [",
    " 0.158118 0.158118 0.158118",
    "]",
    "specularColor [",
    " 0.662588 0.662588 0.662588",
    "]",
    "shininess [",
    " 0.210000",
    "]",
    "transparency [",
    " 0.000000",
    "]",
    "}",
});
const std::string vrml1Tail = crlf({"}"});

// One VRML 1.0 cell around its point line (the four corners, without "]").
std::string vrml1Cell(const std::string& points)
{
    return crlf({"Coordinate3 {", "point ["}) + points +
           crlf({"]", "}", "IndexedFaceSet {", "coordIndex [", "0 2 1 -1", "2 3 1 -1", "]", "}"});
}

const std::string vrml2Head = crlf({
    "#VRML V2.0 utf8",
    "Transform {",
    "    scale         0.001 0.001 0.001",
    "    children [",
    "DEF _0210FF38 Group {",
    "    children [",
});
const std::string vrml2Tail = crlf({"]", "}", "]", "}"});

std::string vrml2Cell(const std::string& points)
{
    return crlf({
               "Shape {",
               "appearance Appearance {",
               "    material DEF _material1 Material {",
               "        diffuseColor  0.952941 0.996078 0.694118",
               "    }",
               "}",
               "geometry IndexedFaceSet {",
               " solid FALSE",
               "coord Coordinate {",
               "point [",
           }) +
           points + crlf({"]", "}", "coordIndex [", "0 2 1 -1", "2 3 1 -1", "]", "}", "}"});
}

struct Format {
    const char* name;
    const std::string& head;
    std::string (*cell)(const std::string&);
    const std::string& tail;
    long fixedLines;  // of the head and tail
};

const Format vrml1{"vrml1", vrml1Head, vrml1Cell, vrml1Tail, 26};
const Format vrml2{"vrml2", vrml2Head, vrml2Cell, vrml2Tail, 10};

// The file an export writes over a picture and the lines given as
// (Line1.X1, Line4.X1, Line2.Y1, Line3.Y1), with the fields (depth, scale, step).
std::string run(const Format& f, const Picture& picture, EdgeLines lines, FieldTexts fields)
{
    return exportToMemory(format(f.name), {fields, lines, std::make_shared<const Picture>(picture)});
}

// The corner lines of the worked example: cell (100, 200), step 50, scale
// 0.001, every corner of the same depth text z.
std::string examplePoints(const std::string& z)
{
    return "0.1 0.2 " + z + ", 0.15 0.2 " + z + ", 0.1 0.25 " + z + ", 0.15 0.25 " + z;
}

// Uniformly red 200 (green and blue play no part) over the cell (100, 200).
const Picture red200 = uniformPicture(20, 20, 0x3264C8);
const EdgeLines exampleCell{150, 100, 250, 200};

void PrintTo(const Format* f, std::ostream* os)
{
    *os << f->name;
}

class VrmlFile : public ::testing::TestWithParam<const Format*> {};

TEST_P(VrmlFile, EmptyWalkIsHeadAndTail)
{
    const Format& f = *GetParam();
    const std::string file = run(f, {}, {40, 0, 500, 0}, {"0.5", "0.001 ", "50"});
    EXPECT_EQ(file, f.head + f.tail);
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), f.fixedLines);
}

TEST_P(VrmlFile, OneCellAtTheDefaultDepth)
{
    const Format& f = *GetParam();
    EXPECT_EQ(run(f, red200, exampleCell, {"0.5", "0.001 ", "50"}),
              f.head + f.cell(examplePoints("0.392156862745098")) + f.tail);
}

// A depth typed below 0.21 is raised to it: 200 / 255 x 0.21.
TEST_P(VrmlFile, DepthFloorRaisesOnlyWhatIsBelowIt)
{
    const Format& f = *GetParam();
    const std::pair<const char*, const char*> cases[] = {
        {"0.1", "0.164705882352941"}, {"0", "0.164705882352941"},  {"-1", "0.164705882352941"},
        {"abc", "0.164705882352941"}, {"0.21", "0.164705882352941"}, {"0.22", "0.172549019607843"},
        {"0.5", "0.392156862745098"},
    };
    for (const auto& [typed, z] : cases)
        EXPECT_EQ(run(f, red200, exampleCell, {typed, "0.001 ", "50"}),
                  f.head + f.cell(examplePoints(z)) + f.tail)
            << "depth typed " << typed;
}

// 2 x 2 cells over a black picture with one bright pixel under (50, 0): as
// the right-hand corner of the first cell it is a spike and is smoothed to 0;
// as the left-hand corner of the second it keeps its own depth.
TEST_P(VrmlFile, TwoByTwoGridWithAFilteredCorner)
{
    const Format& f = *GetParam();
    std::vector<std::uint32_t> colours(10 * 10, 0);
    colours[3] = 200;
    const std::string expected = f.head +
                                 f.cell("0 0 0, 0.05 0 0, 0 0.05 0, 0.05 0.05 0") +
                                 f.cell("0.05 0 0.392156862745098, 0.1 0 0, 0.05 0.05 0, 0.1 0.05 0") +
                                 f.cell("0 0.05 0, 0.05 0.05 0, 0 0.1 0, 0.05 0.1 0") +
                                 f.cell("0.05 0.05 0, 0.1 0.05 0, 0.05 0.1 0, 0.1 0.1 0") + f.tail;
    EXPECT_EQ(run(f, Picture(10, 10, colours), {120, 0, 100, 0}, {"0.5", "0.001 ", "50"}), expected);
}

TEST_P(VrmlFile, YIsCutXAndZAreNot)
{
    const Format& f = *GetParam();
    const std::string z = "0.196078431372549";
    const std::string points = "0.1235234 0.123523 " + z + ", 0.1247574 0.123523 " + z + ", 0.1235234 0.124757 " +
                               z + ", 0.1247574 0.124757 " + z;
    EXPECT_EQ(run(f, uniformPicture(100, 100, 100), {1011, 1001, 1011, 1001}, {"0.5", "0.0001234", "10"}),
              f.head + f.cell(points) + f.tail);
}

TEST_P(VrmlFile, DecimalPointsUnderAFrenchLocale)
{
    const Format& f = *GetParam();
    const std::string expected = f.head + f.cell(examplePoints("0.392156862745098")) + f.tail;
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "fr_FR.UTF-8"))
        GTEST_SKIP() << "fr_FR.UTF-8 is not installed";
    const std::string underFrench = run(f, red200, exampleCell, {"0.5", "0.001 ", "50"});
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(underFrench, expected);
}

INSTANTIATE_TEST_SUITE_P(Formats, VrmlFile, ::testing::Values(&vrml1, &vrml2),
                         [](const auto& info) { return std::string(info.param->name); });

}  // namespace
