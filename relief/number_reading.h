#pragma once

#include <string>
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
    std::size_t readLength = 0;  // the text up to here made the number; 0 when there is none
};

// How the text reads when it does not read as it looks: the number stops
// before characters other than blanks, or there is no number at all. A French
// sentence about the field named `label`; nothing when the text reads whole.
std::string fieldReadingDoubt(std::string_view label, std::string_view text);

FieldNumber readFieldNumber(std::string_view text);
