#include "part_summary.h"

#include "mesh_layout.h"

#include "relief/part_grid.h"
#include "relief/saturating.h"
#include "relief/size_text.h"

#include <algorithm>

std::string partSummary(const ExportJob& job, const FormatOptions& options)
{
    const PartShape shape = partShape(job, options);
    const GridSize& cells = shape.cells;
    std::uint64_t triangles = surfaceTriangleCount(cells.columns, cells.rows);
    if (options.solid)
        triangles = saturatingAdd(triangles, closureTriangleCount(cells.columns, cells.rows));
    if (options.partMaxTriangles > 0)
        triangles = std::min(triangles, options.partMaxTriangles);
    // The same figures as the dialog's fields: a decimal comma, no zeros after it.
    return "Pièce : " + metresText(shape.widthMm) + " × " + metresText(shape.heightMm) + " × " +
           metresText(shape.thicknessMm) + " mm · " + countText(triangles) + " triangles au plus";
}
