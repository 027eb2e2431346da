#pragma once

#include "export_parameters.h"

#include <optional>
#include <string>
#include <string_view>

struct FormatOptions;
struct PartShape;

// The numbers a format's file can hold, as its readers take them: the
// coordinates it writes (in its own unit) must be finite and at most
// `largest`, and two neighbouring grid points must still be told apart.
struct NumberRange {
    std::string_view fileKind{};     // "un fichier STL": named in the refusal
    double unitsPerMetre = 1;      // 1000 for a file in millimetres
    double largest = 0;            // 0: only finite numbers are asked for
    std::string_view largestText{};  // the limit as the refusal writes it, "3,4e38"
    double relativePrecision = 0;  // FLT_EPSILON for single precision; 0: not checked
    double finest = 0;             // the smallest non-zero magnitude readers keep; 0: not checked
};

// Single-precision numbers, what most mesh readers hold.
NumberRange singlePrecisionNumbers(std::string_view fileKind, double unitsPerMetre);

// The French refusal when the scale or the depth make numbers that the file
// cannot hold: beyond its largest, not finite, or so small that the grid's
// points or depths all merge. Read before any question is asked.
std::optional<std::string> parameterRangeProblem(const NumberRange& range, const ExportParameters& parameters,
                                                 const Selection& selection);

// The same for the choices of the options dialog: a solid's base, a tolerance.
std::optional<std::string> optionRangeProblem(const NumberRange& range, const ExportParameters& parameters,
                                              const FormatOptions& options);

// The same for the part's sizes in millimetres ("Pièce posée"): its width
// and height, its relief and base, and the grid's points along them.
std::optional<std::string> partRangeProblem(const NumberRange& range, const PartShape& shape,
                                            const FormatOptions& options);
