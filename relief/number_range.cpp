#include "number_range.h"

#include "format_entry.h"
#include "export_messages.h"
#include "part_grid.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

constexpr const char* scaleLabel = field_label::scale;
constexpr const char* depthLabel = field_label::depth;
constexpr const char* baseLabel = "Épaisseur du socle en m";
constexpr const char* toleranceLabel = "Tolérance en m";
constexpr const char* widthLabel = "Largeur de la pièce en mm";
constexpr const char* reliefLabel = "Hauteur du relief en mm";
constexpr const char* partBaseLabel = "Épaisseur du socle en mm";
constexpr const char* partToleranceLabel = "Tolérance en mm";
// The finest step of a height: one level of a 16-bit picture.
constexpr double finestLevel = 1.0 / 65535;

std::string tooLarge(const NumberRange& range, const char* label)
{
    std::string limit = range.largest > 0 ? " (plus de " + std::string(range.largestText) + ")" : std::string();
    return refusalMessage(std::string("Le champ « ") + label + " » donne des nombres trop grands pour " +
                          std::string(range.fileKind) + limit + ".");
}

// `what` says what would merge, e.g. "des points trop rapprochés", `merged` how.
std::string tooFine(const NumberRange& range, const char* label, const char* what, const char* merged)
{
    return refusalMessage(std::string("Le champ « ") + label + " » donne " + what + " pour " +
                          std::string(range.fileKind) + " : " + merged + ".");
}

bool beyond(const NumberRange& range, double magnitude)
{
    return !std::isfinite(magnitude) || (range.largest > 0 && magnitude > range.largest);
}

// True when a non-zero difference of `difference` between numbers as large as
// `magnitude` would be lost in the file.
bool lost(const NumberRange& range, double difference, double magnitude)
{
    if (range.relativePrecision <= 0)
        return false;
    return difference < range.finest || difference <= magnitude * range.relativePrecision;
}

}  // namespace

NumberRange singlePrecisionNumbers(std::string_view fileKind, double unitsPerMetre)
{
    return {fileKind, unitsPerMetre, FLT_MAX, "3,4e38", FLT_EPSILON, FLT_MIN};
}

std::optional<std::string> parameterRangeProblem(const NumberRange& range, const ExportParameters& p,
                                                 const Selection& s)
{
    const double extent = largestCoordinate(s) + std::fabs(p.step);
    const double across = std::fabs(p.scale) * extent * range.unitsPerMetre;
    const double deepest = std::fabs(p.maxDepth) * range.unitsPerMetre;
    if (beyond(range, across))
        return tooLarge(range, scaleLabel);
    if (beyond(range, deepest))
        return tooLarge(range, depthLabel);
    // A cell's side is the smallest difference between written X or Y.
    if (p.step > 0 && lost(range, std::fabs(p.scale * p.step) * range.unitsPerMetre, across))
        return tooFine(range, scaleLabel, "des points trop rapprochés", "ils s'y confondraient");
    // The shallowest non-zero depth is one grey step of a smoothed corner.
    if (p.maxDepth != 0 && lost(range, deepest / 510, 0))
        return tooFine(range, depthLabel, "des profondeurs trop petites", "elles s'y confondraient avec 0");
    return std::nullopt;
}

std::optional<std::string> optionRangeProblem(const NumberRange& range, const ExportParameters& p,
                                              const FormatOptions& options)
{
    if (options.solid && options.base > 0) {
        const double relief = std::max(p.maxDepth, 0.0) * range.unitsPerMetre;
        const double back = relief + options.base * range.unitsPerMetre;
        if (beyond(range, back))
            return tooLarge(range, baseLabel);
        // The back face must stand apart from the deepest point.
        if (lost(range, options.base * range.unitsPerMetre, back))
            return tooFine(range, baseLabel, "un socle trop mince", "il s'y confondrait avec le relief");
    }
    if (beyond(range, std::fabs(options.tolerance) * range.unitsPerMetre))
        return tooLarge(range, toleranceLabel);
    return std::nullopt;
}

std::optional<std::string> partRangeProblem(const NumberRange& range, const PartShape& shape,
                                            const FormatOptions& options)
{
    const double perMm = range.unitsPerMetre / 1000;
    const double width = shape.widthMm * perMm, height = shape.heightMm * perMm;
    const double relief = shape.reliefMm * perMm, thickness = shape.thicknessMm * perMm;
    if (beyond(range, width) || beyond(range, height))
        return tooLarge(range, widthLabel);
    if (beyond(range, relief))
        return tooLarge(range, reliefLabel);
    if (options.solid && beyond(range, thickness))
        return tooLarge(range, partBaseLabel);
    if (shape.cells.columns > 0 && lost(range, width / double(shape.cells.columns), std::max(width, height)))
        return tooFine(range, widthLabel, "des points trop rapprochés", "ils s'y confondraient");
    if (relief != 0 && lost(range, relief * finestLevel, 0))
        return tooFine(range, reliefLabel, "des hauteurs trop petites", "elles s'y confondraient avec 0");
    if (options.solid && options.baseMm > 0 && lost(range, options.baseMm * perMm, thickness))
        return tooFine(range, partBaseLabel, "un socle trop mince", "il s'y confondrait avec le relief");
    if (beyond(range, std::fabs(options.partToleranceMm) * perMm))
        return tooLarge(range, partToleranceLabel);
    return std::nullopt;
}
