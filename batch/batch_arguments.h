#pragma once

#include <optional>
#include <string>
#include <vector>

enum class BatchFormat { Ascii, Vrml1, Vrml2 };

// The selection in window units, as given with --rect.
struct SelectionRectangle {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// A checked command line. The three numbers are kept as the texts that were
// given (already known to be valid decimals), so that the export reads them
// exactly as it reads the desktop program's fields.
struct BatchArguments {
    BatchFormat format = BatchFormat::Ascii;
    std::string image;
    std::string output;
    std::string depth = "0.5";   // metres
    std::string scale = "0.001"; // metres per window unit
    std::string step = "50";     // window units
    std::optional<SelectionRectangle> rectangle;  // none: the whole picture
    bool quiet = false;
};

struct ParsedCommandLine {
    enum class Request { Export, Help, Version, Invalid };
    Request request = Request::Invalid;
    BatchArguments arguments;
    std::string problem;  // for Invalid: which argument and why, in French
};

// Reads the arguments that follow the program name. --help and --version
// win over any other argument, valid or not.
ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The --help text, in French.
std::string usageText();
