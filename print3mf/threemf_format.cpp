#include "threemf_format.h"

#include "threemf_size.h"
#include "threemf_writer.h"

#include "export/mesh_export.h"

#include <cfloat>

void addThreeMfFormat(FormatRegistry& registry)
{
    WholeMeshFormat format;
    format.id = "3mf";
    format.caption = "3MF pour l'impression 3D";
    format.filter = "Fichier 3MF (*.3mf)|*.3mf|";
    format.extension = "3mf";
    // The STL's single-precision numbers, which lib3mf writes to six
    // decimals of a millimetre and up to about one unit of their last place
    // off: two of them stand apart when they differ by two. lib3mf refuses
    // a point farther than 1e9 mm.
    format.numbers = {"un fichier 3MF", 1000, threeMfLargestCoordinate, "1e9 mm, soit 1 000 km", 2 * FLT_EPSILON,
                      threeMfFinest};
    format.write = writeThreeMf;
    format.estimate = threeMfSizeEstimate;
    format.check = threeMfProblem;
    registry.add(wholeMeshFormatEntry(format));
}
