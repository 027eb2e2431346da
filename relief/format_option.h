#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

struct ExportJob;

// Where a one-piece format puts the part in its file.
enum class Placement {
    // "Pièce posée": as slicers and CAM expect it, in millimetres typed for
    // it: X to the right and Y up as the picture is seen, Z up, the box from
    // (0, 0, 0), a point per pixel, heights from the picture's luminance.
    Part,
    // "Repère des fichiers VRML": the walk's grid in the frame of the VRML
    // and ASCII exports, byte for byte as before the placement was offered.
    VrmlFrame,
};

// The choices of the formats that have an options dialog. Each is described
// once by a FormatOption; the dialog, orvanel-batch and its --help are made
// from those descriptions.
struct FormatOptions {
    bool solid = false;
    double base = 0;                 // metres: the block behind a solid
    std::uint64_t maxTriangles = 0;  // the whole file's, walls and back included; 0: every triangle
    double maxError = 0;             // millimetres, vertical; 0: no bound
    double tolerance = 0;            // metres: 0 passes through every point
    // Measure the mesh written even without a limit (orvanel-batch --report):
    // the whole grid is then held, as a simplification would hold it.
    bool measureMesh = false;

    // The one-piece formats' placement, and what "Pièce posée" takes
    // instead of the walk's fields and of the options above.
    Placement placement = Placement::Part;
    double widthMm = 0;                 // the part's; its height follows, the pixels square
    double reliefMm = 0;                // from the relief's lowest point to its highest
    double baseMm = 0;                  // under a solid's relief
    std::uint64_t every = 1;            // a grid point every that many pixels
    bool invert = false;                // bright deep rather than high
    std::uint64_t partMaxTriangles = 0; // as maxTriangles
    double partMaxError = 0;            // as maxError
    double partToleranceMm = 0;         // as tolerance, in millimetres
};

// One value of a choice: as the command line spells it, as the dialog shows it.
struct OptionChoice {
    std::string_view key;
    std::string_view label;
};

// Where an option's value lives in FormatOptions, and so what kind it is.
using OptionField = std::variant<bool FormatOptions::*, double FormatOptions::*, std::uint64_t FormatOptions::*,
                                 Placement FormatOptions::*>;

// One option of a format, as the options dialog and the command line show it.
struct FormatOption {
    std::string_view key{};        // orvanel-batch's --key
    std::string_view label{};      // the dialog's label, in French
    std::string_view valueName{};  // in --help ("M", "N"); none for a flag
    std::string_view help{};       // --help's description, in French
    OptionField field{};
    double maximum = std::numeric_limits<double>::infinity();
    double minimum = 0;
    // The value when the user gives none; none: the FormatOptions default.
    std::function<double(const ExportJob&)> defaultValue{};
    // A number that follows its default (a tenth of the depth) until edited.
    bool followsDefault = false;
    // A flag the options dialog checks the first time it opens; off unless
    // given on the command line.
    bool proposed = false;
    // Set only with that flag ("solid": a base needs a solid).
    std::string_view onlyWith{};
    // A choice's values, in the order of their numbers; the first is the default.
    std::vector<OptionChoice> choices{};
    // Taken only in that placement; two options of one key may then stand
    // for the same thing in the two placements ("base": mm or m).
    std::optional<Placement> onlyIn{};
};

// The options the formats share. Those of the VRML frame keep their
// meaning and defaults; "Pièce posée" has its own, in millimetres.
FormatOption solidOption(bool proposed);
FormatOption baseOption();  // a tenth of the maximum depth unless given
FormatOption maxTrianglesOption();
FormatOption maxErrorOption();
FormatOption toleranceOption();

FormatOption placementOption();
FormatOption widthOption();       // the selection at the fields' scale unless given
FormatOption reliefOption();      // the maximum depth unless given
FormatOption partBaseOption();    // a tenth of the relief unless given
// One point per pixel; or, for a format whose file grows with its points
// (a surface through each), the fewest pixels a point that keep them
// within defaultStepPoints.
FormatOption everyOption();
FormatOption boundedEveryOption();
FormatOption invertOption();
FormatOption partMaxTrianglesOption();
FormatOption partMaxErrorOption();
FormatOption partToleranceOption();

// The part's defaults: a file that slicers and CAD programs open at ease
// (a budget of the whole file's triangles, an error bound that leaves
// smooth pictures smaller still), whatever the picture's size.
inline constexpr std::uint64_t defaultPartTriangles = 500000;
inline constexpr double defaultPartErrorMm = 0.01;
inline constexpr double defaultStepPoints = 250000;  // the help of boundedEveryOption says it

bool isFlag(const FormatOption& option);
bool isChoice(const FormatOption& option);
// Whether the option is taken in that placement.
bool appliesIn(const FormatOption& option, Placement placement);
// The option of that key in the list, or null; with a placement, the one
// taken in it.
const FormatOption* findOption(const std::vector<FormatOption>& options, std::string_view key,
                               std::optional<Placement> placement = std::nullopt);
// Whether the format offers the placement choice.
bool offersPlacement(const std::vector<FormatOption>& options);
// The placement the options put a format's part in: the VRML frame for a
// format that offers no choice.
Placement placementOf(const std::vector<FormatOption>& described, const FormatOptions& options);
// A choice's number from its key, if it has one.
std::optional<double> choiceNumber(const FormatOption& option, std::string_view key);
// The option's value as a number (a flag reads 0 or 1), and its setting.
double optionValue(const FormatOptions& options, const FormatOption& option);
void setOptionValue(FormatOptions& options, const FormatOption& option, double value);

// The options a format starts from for a job: every default applied.
FormatOptions defaultOptions(const std::vector<FormatOption>& described, const ExportJob& job);
// What the options dialog offers the first time it opens: the defaults with
// the proposed flags set.
FormatOptions proposedOptions(const std::vector<FormatOption>& described, const ExportJob& job);

// The French refusal of a typed value, if any (below the least, beyond the
// largest, not whole where a count is asked).
std::string optionValueProblem(const FormatOption& option, double value);
