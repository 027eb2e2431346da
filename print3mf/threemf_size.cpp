#include "threemf_size.h"

#include "relief/export_messages.h"
#include "relief/point_rows.h"
#include "relief/saturating.h"
#include "relief/size_text.h"

#include <cmath>

namespace {

// The model's head and tail (declaration, namespaces, metadata, the
// object, the build with its UUIDs: some 1 200 bytes), the two small parts
// (content types and relationships: 857 bytes) and the archive's headers
// and directory (under 600 bytes, ZIP64 included), generously.
constexpr std::uint64_t fixedBytes = 16384;
// "\t\t\t\t\t<vertex x=\"\" y=\"\" z=\"\" />\n" and three numbers of at most
// 18 characters ("-1000000000.000000": six decimals, at most 1e9 mm).
constexpr std::uint64_t longestVertexLine = 31 + 3 * 18;
// "\t\t\t\t\t<triangle v1=\"\" v2=\"\" v3=\"\" />\n" and three point numbers.
constexpr std::uint64_t triangleFrame = 36;

// Measured on lib3mf's archives of smooth shading, grain and noise: 11.4
// to 12.2 bytes a triangle with every cell kept (half a point a triangle),
// 14 to 15 simplified, whose points are farther apart in the list; the
// fixed parts compressed, some 1 300 bytes.
struct Compressed {
    double point, triangle;
};
constexpr Compressed everyCell{10, 7}, simplified{12, 8};
constexpr std::uint64_t typicalFixedBytes = 1536;

// Held at once while lib3mf writes, measured: the grid's depth, the point's
// number, the program's copy of it for lib3mf (freed before the writing)
// and lib3mf's node; the surface's indices, their copy and lib3mf's face.
constexpr double pointMemory = 8 + 4 + 12 + 24, triangleMemory = 12 + 12 + 24;

constexpr std::uint64_t lib3mfLargestCount = 2147483646;

std::uint64_t digits(std::uint64_t n)
{
    std::uint64_t count = 1;
    for (; n >= 10; n /= 10)
        ++count;
    return count;
}

// zlib's own bound for deflate: stored blocks and their headers.
std::uint64_t deflateBound(std::uint64_t n)
{
    return saturatingAdd(n, (n >> 12) + (n >> 14) + (n >> 25) + 13);
}

}  // namespace

MeshSizeEstimate threeMfSizeEstimate(std::uint64_t columns, std::uint64_t rows, const MeshOptions& options)
{
    const std::uint64_t points = meshPointBound(columns, rows, options);
    const std::uint64_t triangles = meshTriangleBound(columns, rows, options);
    const std::uint64_t triangleLine = triangleFrame + 3 * digits(points == 0 ? 0 : points - 1);
    const std::uint64_t text = saturatingAdd(saturatingMultiply(points, longestVertexLine),
                                             saturatingMultiply(triangles, triangleLine));
    const Compressed rate = options.maxTriangles || options.maxError > 0 ? simplified : everyCell;
    const double typical = rate.point * double(points) + rate.triangle * double(triangles);
    return {saturatingAdd(typicalFixedBytes, saturatingFromDouble(std::floor(typical))),
            saturatingAdd(fixedBytes, deflateBound(text))};
}

std::optional<std::string> threeMfProblem(const GridSize& grid, const MeshOptions& options)
{
    const std::uint64_t points = meshPointBound(grid.columns, grid.rows, options);
    const std::uint64_t triangles = meshTriangleBound(grid.columns, grid.rows, options);
    if (points > lib3mfLargestCount || triangles > lib3mfLargestCount)
        return refusalMessage("Un fichier 3MF fait par lib3mf tient au plus " + countText(lib3mfLargestCount) +
                              " points et autant de triangles ; celui-ci en aurait " + countText(points) +
                              " et " + countText(triangles) +
                              ".\nAugmentez le pas, réduisez la sélection ou donnez un nombre maxi de triangles.");
    const double archive = double(threeMfSizeEstimate(grid.columns, grid.rows, options).typical);
    const double bytes = pointMemory * double(points) + triangleMemory * double(triangles) + 2 * archive;
    return memoryProblem("Le maillage 3MF de " + countText(triangles) + " triangles demande", bytes);
}
