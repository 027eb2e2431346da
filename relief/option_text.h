#pragma once

#include "format_option.h"

#include <optional>
#include <string>
#include <string_view>

// An option's number as the options dialog shows it and reads it back,
// whatever the system's locale. Shown with the decimal comma ("0,05"), a
// count with its thousands set apart ("200 000"); read with the decimal
// point or the decimal comma alike ("0.02" and "0,02" are two hundredths).

std::string optionValueText(const FormatOption& option, double value);

// A typed text read for an option: its value, or why it is refused.
struct OptionReading {
    std::optional<double> value;
    std::string problem;  // French, when there is no value
};

// Takes blanks around the number, an optional sign, digits with at most one
// "." or "," and an optional exponent ("2,5e-2"), and spaces between groups
// of three digits of the whole part; anything else (a unit after it, two
// separators, an empty field) is not a number. Then the option's own limits
// apply (optionValueProblem).
OptionReading readOptionText(const FormatOption& option, std::string_view text);
