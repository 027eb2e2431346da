#include "size_text.h"

#include "saturating.h"

#include <cmath>
#include <cstdio>

namespace {

// The largest value stands for as much or more (saturating.h).
std::string moreThanAtTheLargest(std::uint64_t value)
{
    return value == saturated ? "plus de " : "";
}

}  // namespace

std::string countText(std::uint64_t count)
{
    const std::string digits = std::to_string(count);
    std::string text = moreThanAtTheLargest(count);
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += "\u202F";
        text += digits[i];
    }
    return text;
}

namespace {

std::string withComma(std::string text)
{
    for (char& c : text)
        if (c == '.')
            c = ',';
    return text;
}

}  // namespace

std::string sizeText(std::uint64_t bytes)
{
    if (bytes < 1000)
        return std::to_string(bytes) + " octets";
    static const char* const units[] = {"ko", "Mo", "Go", "To", "Po"};
    double value = double(bytes) / 1000;
    int unit = 0;
    while (value >= 999.5 && unit < 4) {
        value /= 1000;
        ++unit;
    }
    const int decimals = value < 9.995 ? 2 : value < 99.95 ? 1 : 0;
    char text[32];
    std::snprintf(text, sizeof text, "%.*f %s", decimals, value, units[unit]);
    return moreThanAtTheLargest(bytes) + withComma(text);
}

std::string metresText(double metres)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.6g", metres);
    std::string t = text;
    if (t.find('e') != std::string::npos) {
        std::snprintf(text, sizeof text, "%.6f", metres);
        t = text;
    }
    if (t.find('.') != std::string::npos) {
        while (!t.empty() && t.back() == '0')
            t.pop_back();
        if (!t.empty() && t.back() == '.')
            t.pop_back();
    }
    return withComma(t);
}
