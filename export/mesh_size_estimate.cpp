#include "mesh_size_estimate.h"

#include "mesh_layout.h"
#include "obj_writer.h"

#include "relief/saturating.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr std::uint64_t lineEnd = 2;
constexpr std::uint64_t longestNumber = 24;  // "-1.2345678901234567e-308"

std::uint64_t digits(std::uint64_t n)
{
    std::uint64_t count = 1;
    while (n >= 10) {
        n /= 10;
        ++count;
    }
    return count;
}

// Total characters of the numbers 1 to n (exact while below 2^53).
double digitsUpTo(std::uint64_t n)
{
    double total = 0;
    for (std::uint64_t low = 1, width = 1; low <= n; low *= 10, ++width) {
        total += double(std::min(n, low * 10 - 1) - low + 1) * double(width);
        if (low > n / 10)
            break;  // the last width: low * 10 would pass n, or wrap
    }
    return total;
}

std::uint64_t add(std::uint64_t a, std::uint64_t b)
{
    return saturatingAdd(a, b);
}

std::uint64_t times(std::uint64_t a, std::uint64_t b)
{
    return saturatingMultiply(a, b);
}

// Points the file lists: a surface of `triangles` over a disc whose outline
// keeps all its points has (triangles + outline + 2) / 2 of them.
std::uint64_t surfacePoints(std::uint64_t columns, std::uint64_t rows, std::uint64_t triangles)
{
    const std::uint64_t all = saturatingMultiply(columns + 1, rows + 1);
    if (triangles >= surfaceTriangleCount(columns, rows))
        return all;
    return std::min(all, add(add(triangles, times(2, add(columns, rows))), 2) / 2);
}

// A typical figure worked out in floating point, whole bytes.
std::uint64_t wholeBytes(double bytes)
{
    return saturatingFromDouble(std::floor(bytes));
}

}  // namespace

std::uint64_t surfaceTriangleBound(std::uint64_t columns, std::uint64_t rows, const MeshOptions& options)
{
    const std::uint64_t all = surfaceTriangleCount(columns, rows);
    return options.maxTriangles > 0 ? std::min(all, options.maxTriangles) : all;
}

std::uint64_t meshTriangleBound(std::uint64_t columns, std::uint64_t rows, const MeshOptions& options)
{
    const std::uint64_t surface = surfaceTriangleBound(columns, rows, options);
    return options.solid ? add(surface, closureTriangleCount(columns, rows)) : surface;
}

std::uint64_t meshPointBound(std::uint64_t columns, std::uint64_t rows, const MeshOptions& options)
{
    if (columns == 0 || rows == 0)
        return 0;
    const std::uint64_t surface = surfacePoints(columns, rows, surfaceTriangleBound(columns, rows, options));
    return add(surface, options.solid ? backFacePointCount(columns, rows) : 0);
}

MeshSizeEstimate stlSizeEstimate(std::uint64_t columns, std::uint64_t rows, const MeshOptions& options)
{
    const std::uint64_t size = add(84, times(50, meshTriangleBound(columns, rows, options)));
    return {size, size};
}

MeshSizeEstimate objSizeEstimate(std::uint64_t columns, std::uint64_t rows, const MeshOptions& options,
                                 const ObjTextLengths& lengths)
{
    const std::uint64_t comment = std::strlen(objUnitsComment) + lineEnd;
    if (columns == 0 || rows == 0)
        return {comment, comment};
    const std::uint64_t points = meshPointBound(columns, rows, options);
    const std::uint64_t faces = meshTriangleBound(columns, rows, options);

    // "v x y z" and "f a b c" with their spaces and line ends.
    const std::uint64_t vertexFrame = 2 + 2 + lineEnd, faceFrame = 1 + 3 + lineEnd;
    const double typicalVertex = double(vertexFrame) + lengths.x + lengths.y + lengths.z;
    const std::uint64_t longestVertex = vertexFrame + 3 * longestNumber;
    // Faces name points from all over the list: on average the mean length of their numbers.
    const double meanDigits = digitsUpTo(points) / static_cast<double>(points);
    const std::uint64_t typicalFaceNumbers = wholeBytes(3.0 * static_cast<double>(faces) * meanDigits);
    const std::uint64_t longestFaceNumbers = times(times(3, faces), digits(points));

    const std::uint64_t framed = add(comment, times(faces, faceFrame));
    return {add(add(framed, wholeBytes(double(points) * typicalVertex)), typicalFaceNumbers),
            add(add(framed, times(points, longestVertex)), longestFaceNumbers)};
}
