#pragma once

#include <string_view>

// Reads a field's text leniently: blanks, tabs and line feeds are skipped
// wherever they stand; then an optional sign, digits, one "." as the decimal
// point and an optional exponent (E, e, D or d, optional sign, digits).
// Reading stops at the first character that cannot continue the number, and a
// text without a number at its start reads as 0. The comma is never a decimal
// separator. The value is the correctly rounded double of the text read;
// `overflow` is set when that magnitude is beyond the largest double.
struct FieldNumber {
    double value = 0;
    bool overflow = false;
};

FieldNumber readFieldNumber(std::string_view text);
