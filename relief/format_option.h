#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

struct ExportJob;

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
};

// Where an option's value lives in FormatOptions, and so what kind it is.
using OptionField = std::variant<bool FormatOptions::*, double FormatOptions::*, std::uint64_t FormatOptions::*>;

// One option of a format, as the options dialog and the command line show it.
struct FormatOption {
    std::string_view key{};        // orvanel-batch's --key
    std::string_view label{};      // the dialog's label, in French
    std::string_view valueName{};  // in --help ("M", "N"); none for a flag
    std::string_view help{};       // --help's description, in French
    OptionField field{};
    double maximum = std::numeric_limits<double>::infinity();  // numbers: 0 at least
    // The value when the user gives none; none: the FormatOptions default.
    std::function<double(const ExportJob&)> defaultValue{};
    // A number that follows its default (a tenth of the depth) until edited.
    bool followsDefault = false;
    // A flag the options dialog checks the first time it opens; off unless
    // given on the command line.
    bool proposed = false;
    // Set only with that flag ("solid": a base needs a solid).
    std::string_view onlyWith{};
};

// The options the formats share.
FormatOption solidOption(bool proposed);
FormatOption baseOption();  // a tenth of the maximum depth unless given
FormatOption maxTrianglesOption();
FormatOption maxErrorOption();
FormatOption toleranceOption();

bool isFlag(const FormatOption& option);
// The option of that key in the list, or null.
const FormatOption* findOption(const std::vector<FormatOption>& options, std::string_view key);
// The option's value as a number (a flag reads 0 or 1), and its setting.
double optionValue(const FormatOptions& options, const FormatOption& option);
void setOptionValue(FormatOptions& options, const FormatOption& option, double value);

// The options a format starts from for a job: every default applied.
FormatOptions defaultOptions(const std::vector<FormatOption>& described, const ExportJob& job);
// What the options dialog offers the first time it opens: the defaults with
// the proposed flags set.
FormatOptions proposedOptions(const std::vector<FormatOption>& described, const ExportJob& job);

// The French refusal of a typed value, if any (negative, beyond the largest,
// not whole where a count is asked).
std::string optionValueProblem(const FormatOption& option, double value);
