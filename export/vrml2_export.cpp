#include "vrml2_export.h"

const ExportFormat& vrml2Export()
{
    static const ExportFormat format{
        .fileFilter = "Fichier virtual reality ml (*.wrl)|*.wrl|",
        .depthFloor = vrmlDepthFloor,
        .head = {
            "#VRML V2.0 utf8",
            "Transform {",
            "    scale         0.001 0.001 0.001",
            "    children [",
            "DEF _0210FF38 Group {",
            "    children [",
        },
        .cellOpening = {
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
        },
        .corner = {.decimalPoint = '.', .xLabel = "", .yLabel = " ", .zLabel = " ", .afterZ = ", ",
                   .afterLastZ = "", .endsLine = false},
        .cellClosing = {"]", "}", "coordIndex [", "0 2 1 -1", "2 3 1 -1", "]", "}", "}"},
        .tail = {"]", "}", "]", "}"},
    };
    return format;
}
