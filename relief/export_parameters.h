#pragma once

#include <optional>
#include <string>

// The three numbers of an export, read once when it starts.
struct ExportParameters {
    double scale = 0;     // metres per window unit
    double maxDepth = 0;  // metres
    double step = 0;      // window units
};

// The texts of the three fields: maximum depth, scale and step.
struct FieldTexts {
    std::string depth;  // "Profondeur maxi en m"
    std::string scale;  // "Largeur en m/pixel"
    std::string step;   // "Pas en pixel"
};

// The fields' labels, as the main window shows them and the messages name them.
namespace field_label {
inline constexpr const char* depth = "Profondeur maxi en m";
inline constexpr const char* scale = "Largeur en m/pixel";
inline constexpr const char* step = "Pas en pixel";
}  // namespace field_label

// The fields' texts when the program starts, and orvanel-batch's defaults.
inline const FieldTexts defaultFieldTexts{"0.5", "0.001 ", "50"};

// Parameters read with the lenient field reading, the depth floor applied
// right after the depth is read. `problem` holds a French message when a
// field's number overflows; the export must then stop.
struct ParameterReading {
    ExportParameters parameters;
    std::optional<std::string> problem;
};

ParameterReading readParameters(const FieldTexts& fields, std::optional<double> depthFloor);

// The selection as the exports read it from the desktop's four edge lines,
// in single precision: where each vertical line starts across and each
// horizontal one down.
struct EdgeLines {
    float rightEdge = 0;
    float leftEdge = 0;
    float bottomEdge = 0;
    float topEdge = 0;
};

struct Selection {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

Selection selectionFromLines(const EdgeLines& lines);

// The largest magnitude of the selection's edges, in window units: no
// position the walk reaches lies farther from the origin.
double largestCoordinate(const Selection& selection);

// A step of 0, or one too small to move the walk's largest coordinate, would
// never end the walk; a scale that makes a coordinate overflow cannot be
// written. Returns the French message that stops the export, if any.
std::optional<std::string> checkWalk(const ExportParameters& parameters, const Selection& selection);
