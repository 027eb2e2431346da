#pragma once

#include <string>
#include <string_view>

// A number as the exports write it: correctly rounded to 15 significant
// digits, always a plain decimal (never an exponent), trailing zeros and a
// trailing "." dropped, "0" before the point below 1, "-" before a negative;
// zero and negative zero give "0".
std::string numberToText(double value);

// Appends numberToText(value) to `out`, with `decimalPoint` in place of ".".
void appendNumberText(std::string& out, double value, char decimalPoint);

// Cuts a number text to its first 8 characters, but never into its integer
// part (sign included); a "." left last by the cut is dropped, zeros are kept.
std::string_view cutToEight(std::string_view text);
