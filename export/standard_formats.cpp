#include "ascii_export.h"
#include "mesh_export.h"
#include "text_export.h"
#include "vrml1_export.h"
#include "vrml2_export.h"

#include "relief/format_registry.h"

FormatRegistry& formatRegistry()
{
    static FormatRegistry registry = [] {
        FormatRegistry r;
        r.add(textFormatEntry("vrml1", "VRML pour SW", "wrl", vrml1Export()));
        r.add(textFormatEntry("vrml2", "VRML pour CATIA", "wrl", vrml2Export()));
        r.add(textFormatEntry("ascii", "ASCII pour CATIA", "asc", asciiExport()));
        r.add(stlFormatEntry());
        r.add(objFormatEntry());
        return r;
    }();
    return registry;
}
