#pragma once

// The VRML exports raise a shallower maximum depth to this many metres.
inline constexpr double vrmlDepthFloor = 0.21;

#include <optional>
#include <string_view>
#include <vector>

// How one corner is written: the three number texts with their labels and
// separators. The Y text is cut to eight characters; X and Z never are.
// A corner line is  xLabel X yLabel Y zLabel Z  followed by afterZ, or by
// afterLastZ for the last corner of a cell, and a line end when endsLine.
struct CornerStyle {
    char decimalPoint;
    std::string_view xLabel;
    std::string_view yLabel;
    std::string_view zLabel;
    std::string_view afterZ;
    std::string_view afterLastZ;
    bool endsLine;
};

// Everything an export supplies to the shared stage: the Save dialog filter,
// the optional floor on the maximum depth, and the text pieces in the order
// the stage writes them. Fixed pieces are lists of whole lines.
struct ExportFormat {
    std::string_view fileFilter;
    std::optional<double> depthFloor;  // a maximum depth below it becomes it
    std::vector<std::string_view> head;
    std::vector<std::string_view> cellOpening;
    CornerStyle corner;
    std::vector<std::string_view> cellClosing;
    std::vector<std::string_view> tail;
};
