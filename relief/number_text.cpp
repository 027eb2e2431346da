#include "number_text.h"

#include <charconv>
#include <cmath>

namespace {

// 15 significant digits and the decimal exponent of the first one, with the
// trailing zeros of the digits dropped.
struct Digits {
    char digits[16];
    int count = 0;
    int exponent = 0;
};

Digits roundTo15(double magnitude)
{
    char buffer[32];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 14).ptr;
    // buffer holds "d.ddddddddddddde[+-]xx"
    Digits d;
    const char* p = buffer;
    for (; p < end && *p != 'e'; ++p)
        if (*p != '.')
            d.digits[d.count++] = *p;
    std::from_chars(p + (p[1] == '+' ? 2 : 1), end, d.exponent);
    while (d.count > 1 && d.digits[d.count - 1] == '0')
        --d.count;
    return d;
}

}  // namespace

void appendNumberText(std::string& out, double value, char decimalPoint)
{
    if (value == 0 || std::isnan(value)) {
        out += '0';
        return;
    }
    if (std::isinf(value)) {
        out += value < 0 ? "-inf" : "inf";
        return;
    }
    const Digits d = roundTo15(std::fabs(value));
    if (value < 0)
        out += '-';
    if (d.exponent < 0) {
        out += '0';
        out += decimalPoint;
        out.append(static_cast<std::size_t>(-d.exponent - 1), '0');
        out.append(d.digits, static_cast<std::size_t>(d.count));
        return;
    }
    const int integerDigits = d.exponent + 1;
    if (d.count <= integerDigits) {
        out.append(d.digits, static_cast<std::size_t>(d.count));
        out.append(static_cast<std::size_t>(integerDigits - d.count), '0');
        return;
    }
    out.append(d.digits, static_cast<std::size_t>(integerDigits));
    out += decimalPoint;
    out.append(d.digits + integerDigits, static_cast<std::size_t>(d.count - integerDigits));
}

std::string numberToText(double value)
{
    std::string text;
    appendNumberText(text, value, '.');
    return text;
}

std::string_view cutToEight(std::string_view text)
{
    const auto point = text.find_first_of(".,");
    const std::size_t integerLength = point == std::string_view::npos ? text.size() : point;
    if (integerLength >= 8)
        return text.substr(0, integerLength);
    text = text.substr(0, 8);
    if (text.back() == '.' || text.back() == ',')
        text.remove_suffix(1);
    return text;
}
