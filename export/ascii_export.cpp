#include "ascii_export.h"

const ExportFormat& asciiExport()
{
    static const ExportFormat format{
        .fileFilter = "Fichier nuage de points Ascii (*.asc)|*.asc|",
        .depthFloor = std::nullopt,
        // The second line reads "!ASCII généré par l'Orvanel", in Windows-1252.
        .head = {"!", "!ASCII g\xE9n\xE9r\xE9 par l'Orvanel", "!", "!", "!"},
        .cellOpening = {},
        .corner = {.decimalPoint = ',', .xLabel = "X ", .yLabel = " Y ", .zLabel = " Z ", .afterZ = " ",
                   .afterLastZ = "", .endsLine = true},
        .cellClosing = {},
        .tail = {},
    };
    return format;
}
