#include "vrml2_export.h"

const ExportFormat& vrml2Export()
{
    static const ExportFormat format{
        "Fichier virtual reality ml (*.wrl)|*.wrl|",
        0.21,
        {
            "#VRML V2.0 utf8",
            "Transform {",
            "    scale         0.001 0.001 0.001",
            "    children [",
            "DEF _0210FF38 Group {",
            "    children [",
        },
        {
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
        {'.', "", " ", " ", ", ", "", false},
        {"]", "}", "coordIndex [", "0 2 1 -1", "2 3 1 -1", "]", "}", "}"},
        {"]", "}", "]", "}"},
    };
    return format;
}
