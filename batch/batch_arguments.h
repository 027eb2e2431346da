#pragma once

#include "relief/export_parameters.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The selection in window units, as given with --rect.
struct SelectionRectangle {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// A checked command line. The three numbers are kept as the texts that were
// given, so that the export reads them exactly as it reads the desktop
// program's fields: checked strictly, or as the fields read them with
// --as-typed.
struct BatchArguments {
    std::string format;  // a format id, or "preview" for the picture alone
    std::string image;
    std::string output;  // "-": standard output
    FieldTexts fields = defaultFieldTexts;
    bool asTyped = false;
    std::optional<SelectionRectangle> rectangle;  // none: the whole picture
    std::optional<EdgeLines> edges;               // the edge lines as the window holds them
    bool quiet = false;
    bool force = false;
    // The format's options that were given, by key (a flag reads 1); the
    // others take their defaults.
    std::map<std::string, double> formatOptions;
    std::string preview;  // a PNG of the relief to write, if any
    std::string report;   // a JSON file of the mesh's measured facts, if any
    unsigned threads = 0;  // formatting the file; 0: one per core
};

struct ParsedCommandLine {
    enum class Request { Export, Help, Version, Invalid };
    Request request = Request::Invalid;
    BatchArguments arguments;
    std::string problem;  // for Invalid: which argument and why, in French
};

// Reads the arguments that follow the program name (UTF-8). --help and
// --version win over any other argument, valid or not.
ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The --help text, in French, listing the registered formats.
std::string usageText();

// The largest edge a window's single-precision edge line holds exactly at
// whole units: beyond it, positions would be silently rounded.
inline constexpr double largestExactEdge = 16777216;
