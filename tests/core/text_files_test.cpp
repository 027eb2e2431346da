// The three text formats' files, byte for byte, as the formats define them;
// the walk itself is checked against the plain writer (reference_check_test).

#include "support/fakes.h"

#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <sstream>

namespace {

// Joins lines, each ended by CRLF.
std::string crlf(std::initializer_list<const char*> lines)
{
    std::string text;
    for (const char* line : lines)
        text.append(line).append("\r\n");
    return text;
}

using Corners = std::array<std::string, 4>;  // "x y z" each

std::string asciiCell(const Corners& corners)
{
    std::string text;
    for (int i = 0; i < 4; ++i) {
        std::string x, y, z;
        std::istringstream(corners[i]) >> x >> y >> z;
        text += "X " + x + " Y " + y + " Z " + z + (i < 3 ? " \r\n" : "\r\n");
    }
    for (char& c : text)
        c = c == '.' ? ',' : c;
    return text;
}

std::string points(const Corners& c)
{
    return c[0] + ", " + c[1] + ", " + c[2] + ", " + c[3];
}

std::string vrml1Cell(const Corners& corners)
{
    return crlf({"Coordinate3 {", "point ["}) + points(corners) +
           crlf({"]", "}", "IndexedFaceSet {", "coordIndex [", "0 2 1 -1", "2 3 1 -1", "]", "}"});
}

std::string vrml2Cell(const Corners& corners)
{
    return crlf({"Shape {", "appearance Appearance {", "    material DEF _material1 Material {",
                 "        diffuseColor  0.952941 0.996078 0.694118", "    }", "}", "geometry IndexedFaceSet {",
                 " solid FALSE", "coord Coordinate {", "point ["}) +
           points(corners) + crlf({"]", "}", "coordIndex [", "0 2 1 -1", "2 3 1 -1", "]", "}", "}"});
}

const struct TextFormat {
    const char* id;
    std::string head;
    std::string (*cell)(const Corners&);
    std::string tail;
    const char* depthTypedAsOne;  // of red 200 with 0.1 typed: raised to 0.21 where the format has the floor
} formats[] = {
    {"ascii", "!\r\n!ASCII g\xE9n\xE9r\xE9 par l'Orvanel\r\n!\r\n!\r\n!\r\n", asciiCell, "", "0.0784313725490196"},
    {"vrml1",
     crlf({"#VRML V1.0 ascii", "Separator {", "MaterialBinding {", "value OVERALL", "}", "Material {", "ambientColor [",
           " 0.752941 0.752941 0.752941", "]", "diffuseColor [", " 0.594824 0.594824 0.594824", "]", "emissiveColor [",
           " 0.158118 0.158118 0.158118", "]", "specularColor [", " 0.662588 0.662588 0.662588", "]", "shininess [",
           " 0.210000", "]", "transparency [", " 0.000000", "]", "}"}),
     vrml1Cell, crlf({"}"}), "0.164705882352941"},
    {"vrml2",
     crlf({"#VRML V2.0 utf8", "Transform {", "    scale         0.001 0.001 0.001", "    children [",
           "DEF _0210FF38 Group {", "    children ["}),
     vrml2Cell, crlf({"]", "}", "]", "}"}), "0.164705882352941"},
};

// The worked example: the cell (100, 200), step 50, scale 0.001, every corner at depth z.
Corners workedCell(const std::string& z)
{
    return {"0.1 0.2 " + z, "0.15 0.2 " + z, "0.1 0.25 " + z, "0.15 0.25 " + z};
}

TEST(TextFiles, HeadCellsAndTailAsTheFormatWritesThemUnderAnyLocale)
{
    // Red 200; green and blue play no part.
    const auto red200 = std::make_shared<const Picture>(uniformPicture(20, 20, 0x3264C8));
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    for (const char* locale : {"C", "fr_FR.UTF-8"}) {
        if (!std::setlocale(LC_ALL, locale))
            ADD_FAILURE() << locale << " is not installed";
        for (const TextFormat& f : formats) {
            for (unsigned threads : {1u, 2u, 7u}) {
                SCOPED_TRACE(std::string(f.id) + ", " + locale + ", " + std::to_string(threads) + " threads");
                const auto run = [&](const char* depth, EdgeLines lines, std::shared_ptr<const Picture> picture) {
                    return exportToMemory(format(f.id), {{depth, "0.001 ", "50"}, lines, std::move(picture)}, {},
                                          threads);
                };
                EXPECT_EQ(run("0.5", {40, 0, 500, 0}, nullptr), f.head + f.tail) << "no cell";
                EXPECT_EQ(run("0.5", {150, 100, 250, 200}, red200),
                          f.head + f.cell(workedCell("0.392156862745098")) + f.tail);
                EXPECT_EQ(run("0.1", {150, 100, 250, 200}, red200),
                          f.head + f.cell(workedCell(f.depthTypedAsOne)) + f.tail)
                    << "depth 0.1";
            }
        }
    }
    std::setlocale(LC_ALL, previous.c_str());
}

}  // namespace
