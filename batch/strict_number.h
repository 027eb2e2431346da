#pragma once

#include <optional>
#include <string>
#include <string_view>

// A number given on the command line, read strictly: the whole text must be
// a decimal number (optional sign, digits with at most one ".", optional
// exponent with "e" or "E"), nothing before or after it, and its value must
// be a finite double that is not lost to underflow.
struct StrictNumber {
    double value = 0;
    std::optional<std::string> problem;  // why the text is refused, in French
};

StrictNumber readStrictNumber(std::string_view text);
