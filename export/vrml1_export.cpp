#include "vrml1_export.h"

const ExportFormat& vrml1Export()
{
    static const ExportFormat format{
        .fileFilter = "Fichier virtual reality ml (*.wrl)|*.wrl|",
        .depthFloor = vrmlDepthFloor,
        .head = {
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
        },
        .cellOpening = {"Coordinate3 {", "point ["},
        .corner = {.decimalPoint = '.', .xLabel = "", .yLabel = " ", .zLabel = " ", .afterZ = ", ",
                   .afterLastZ = "", .endsLine = false},
        .cellClosing = {"]", "}", "IndexedFaceSet {", "coordIndex [", "0 2 1 -1", "2 3 1 -1", "]", "}"},
        .tail = {"}"},
    };
    return format;
}
