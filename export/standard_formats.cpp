#include "ascii_export.h"
#include "mesh_export.h"
#include "text_export.h"
#include "vrml1_export.h"
#include "vrml2_export.h"

#include "standard_formats.h"

#include <cfloat>

FormatRegistry& formatRegistry()
{
    static FormatRegistry registry = [] {
        // VRML readers hold single precision; the point cloud is read as written.
        const NumberRange vrml{"un fichier VRML", 1, FLT_MAX, "3,4e38"};
        FormatRegistry r;
        r.add(textFormatEntry("vrml1", "VRML pour SW", "wrl", vrml1Export(), vrml));
        r.add(textFormatEntry("vrml2", "VRML pour CATIA", "wrl", vrml2Export(), vrml));
        r.add(textFormatEntry("ascii", "ASCII pour CATIA", "asc", asciiExport(), {}));
        r.add(stlFormatEntry());
        r.add(objFormatEntry());
        return r;
    }();
    return registry;
}

const ExportFormat* textFormatPieces(std::string_view id)
{
    if (id == "vrml1")
        return &vrml1Export();
    if (id == "vrml2")
        return &vrml2Export();
    if (id == "ascii")
        return &asciiExport();
    return nullptr;
}
