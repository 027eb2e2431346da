#include "ascii_export.h"

const ExportFormat& asciiExport()
{
    static const ExportFormat format{
        "Fichier nuage de points Ascii (*.asc)|*.asc|",
        std::nullopt,
        // The second line reads "!ASCII généré par l'Orvanel", in Windows-1252.
        {"!", "!ASCII g\xE9n\xE9r\xE9 par l'Orvanel", "!", "!", "!"},
        {},
        {',', "X ", " Y ", " Z ", " ", "", true},
        {},
        {},
    };
    return format;
}
