#include "step_memory.h"

#include "relief_surface.h"

#include "platform/available_memory.h"
#include "relief/size_text.h"

#include <algorithm>
#include <cmath>

namespace {

// Measured with orvanel-batch (peak resident size) on grids of 10 000 to
// 1 700 000 poles, square and one side 2 or 3 points long: 560 to 830 bytes
// a pole, the most where the positions are large numbers and each point's
// STEP line is wrapped. A solid's boundary curves (in space, on the surface
// and on their side) add up to 200 bytes a pole of theirs.
constexpr double bytesPerPole = 1000.0;
constexpr double bytesPerEdgePole = 400.0;
// The program, its libraries and OpenCASCADE's STEP tables: about 45 MB.
constexpr double fixedBytes = 64e6;
// OpenCASCADE's approximation of a grid side of n points: 24 to 30 bytes
// times n squared at its peak (600 to 8000 points), the least squares of
// one pass over that side.
constexpr double approximationBytesPerSquare = 32.0;

std::string gridText(std::uint64_t columns, std::uint64_t rows)
{
    return countText(columns) + " x " + countText(rows) + " points";
}

std::uint64_t byteCount(double bytes)
{
    return bytes < 1.8e19 ? std::uint64_t(bytes) : std::uint64_t(1.8e19);
}

}  // namespace

StepMemoryEstimate estimateStepMemory(std::uint64_t columns, std::uint64_t rows, const StepOptions& options)
{
    const double poles = (double(columns) + 2) * (double(rows) + 2);
    const double edgePoles = options.solid ? 3.0 * 2.0 * (double(columns) + double(rows) + 4) : 0.0;
    StepMemoryEstimate estimate;
    estimate.exactBytes = fixedBytes + poles * bytesPerPole + edgePoles * bytesPerEdgePole;
    estimate.bytes = estimate.exactBytes;
    if (options.tolerance > 0) {
        // Its matrices are gone before the exact surface, when the
        // approximation does not do, is made: added all the same, to stay on
        // the safe side.
        const double across = double(columns), down = double(rows);
        estimate.bytes += approximationBytesPerSquare * (across * across + down * down);
        estimate.approximationFits = std::max(columns, rows) <= longestApproximatedSide;
    }
    return estimate;
}

std::optional<std::string> stepMemoryProblem(const GridSize& grid, const StepOptions& options)
{
    const std::uint64_t columns = grid.columns + 1, rows = grid.rows + 1;
    const StepMemoryEstimate estimate = estimateStepMemory(columns, rows, options);
    const double available = double(availableMemoryBytes());
    const double usable = available * 0.8;
    const std::string beyond = "plus que les " + sizeText(byteCount(usable)) +
                               " que cet ordinateur peut y consacrer (80 % de ses " + sizeText(byteCount(available)) +
                               " libres).";
    if (estimate.exactBytes > usable) {
        const double poles = (double(columns) + 2) * (double(rows) + 2);
        return "La surface STEP de " + gridText(columns, rows) + " (" + countText(byteCount(poles)) +
               " pôles) demande environ " + sizeText(byteCount(estimate.exactBytes)) + " de mémoire, " + beyond +
               "\nAugmentez le pas ou réduisez la sélection.";
    }
    const std::string exactInstead =
        "\nUne tolérance de 0 (surface exacte) ne demande qu'environ " + sizeText(byteCount(estimate.exactBytes)) +
        " de mémoire.";
    if (!estimate.approximationFits)
        return "Avec une tolérance, l'approximation d'OpenCASCADE ne prend pas plus de " +
               countText(std::uint64_t(longestApproximatedSide)) + " points par côté ; la grille en a " +
               gridText(columns, rows) + "." + exactInstead;
    if (estimate.bytes > usable)
        return "Avec une tolérance, l'approximation d'OpenCASCADE de " + gridText(columns, rows) +
               " demande environ " + sizeText(byteCount(estimate.bytes)) +
               " de mémoire (des matrices carrées du côté le plus long), " + beyond + exactInstead;
    return std::nullopt;
}
