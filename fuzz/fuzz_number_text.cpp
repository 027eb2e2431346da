// Checks the number texts of the exports by reading them back.
//
// numberToText: a plain decimal made of "-", digits and at most one ".", with
// no exponent, no "." or "0" last after the point, no leading zero but the one
// "0" before the point of a number below 1; read back it equals the value
// rounded to 15 significant digits (as printf "%.14e" rounds it). The decimal
// comma variant differs only in its separator. cutToEight keeps the whole
// integer part, at most max(8, integer part length) characters, and never
// leaves a "." last.

#include "relief/number_text.h"

#include <clocale>
#include <cmath>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void fail(const char* what, double value, std::string_view text)
{
    std::fprintf(stderr, "%s: value %.17g (%a), text \"%.*s\"\n", what, value, value, int(text.size()),
                 text.data());
    std::abort();
}

// A double from the input: its raw bits, or a few digits times a power of ten
// in the range the exports meet.
bool valueFrom(const std::uint8_t* data, std::size_t size, double& value)
{
    if (size < 9)
        return false;
    std::uint64_t raw;
    std::memcpy(&raw, data + 1, sizeof raw);
    switch (data[0] % 3) {
    case 0:
        std::memcpy(&value, &raw, sizeof value);
        break;
    case 1: {
        const std::int64_t mantissa = static_cast<std::int64_t>(raw >> 4) % 100000000000000000LL;
        const int exponent = static_cast<int>(raw & 0xF) + (data[0] >> 2) % 8 - 20;
        value = static_cast<double>(raw & 0x8 ? -mantissa : mantissa) * std::pow(10.0, exponent);
        break;
    }
    default: {
        // a scale times a coordinate, as the corner writer forms them
        const float coordinate = static_cast<float>(static_cast<std::int32_t>(raw >> 32)) / 64.0f;
        const double scale = static_cast<double>(raw & 0xFFFFF) * std::pow(10.0, -int(data[0] >> 2) % 12);
        value = scale * coordinate;
        break;
    }
    }
    return std::isfinite(value);
}

void checkText(double value, const std::string& text)
{
    if (text.empty())
        fail("empty text", value, text);
    std::size_t i = text[0] == '-' ? 1 : 0;
    if (i == 1 && !(value < 0))
        fail("minus sign on a number that is not negative", value, text);
    if (i == 0 && value < 0)
        fail("no minus sign on a negative number", value, text);
    const std::size_t integerStart = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        ++i;
    const std::size_t integerLength = i - integerStart;
    if (integerLength == 0)
        fail("no digit before the point", value, text);
    if (integerLength > 1 && text[integerStart] == '0')
        fail("leading zero", value, text);
    if (i < text.size()) {
        if (text[i] != '.')
            fail("character other than - 0-9 .", value, text);
        ++i;
        const std::size_t fractionStart = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            ++i;
        if (i != text.size())
            fail("character other than - 0-9 . after the point", value, text);
        if (i == fractionStart)
            fail("trailing point", value, text);
        if (text.back() == '0')
            fail("trailing zero after the point", value, text);
    }
    if (text == "-0")
        fail("negative zero written", value, text);
    if (std::fabs(value) < 1 && text != "0" && text.compare(integerStart, 2, "0.") != 0) {
        // below 1 the text is "0.<digits>" unless rounding reached 1
        if (text.compare(integerStart, std::string::npos, "1") != 0)
            fail("no 0 before the point below 1", value, text);
    }

    char rounded[64];
    std::snprintf(rounded, sizeof rounded, "%.14e", value);
    const double expected = std::strtod(rounded, nullptr);
    const double readBack = std::strtod(text.c_str(), nullptr);
    if (readBack != expected)
        fail("does not read back as the value rounded to 15 digits", value, text);
}

void checkCut(double value, const std::string& text)
{
    const std::string_view cut = cutToEight(text);
    const std::size_t point = text.find('.');
    const std::size_t integerLength = point == std::string::npos ? text.size() : point;
    if (text.compare(0, cut.size(), cut) != 0)
        fail("cut text is not a beginning of the text", value, std::string(cut));
    if (cut.size() < integerLength)
        fail("cut into the integer part", value, std::string(cut));
    if (cut.size() > std::max<std::size_t>(8, integerLength))
        fail("cut text too long", value, std::string(cut));
    if (!cut.empty() && cut.back() == '.')
        fail("cut text ends with a point", value, std::string(cut));
    const std::size_t expected =
        integerLength >= 8 ? integerLength : std::min<std::size_t>(text.size(), 8) - (text.size() > 8 && text[7] == '.');
    if (cut.size() != expected)
        fail("cut text of the wrong length", value, std::string(cut));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::setlocale(LC_ALL, "C");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    double value;
    if (!valueFrom(data, size, value))
        return 0;
    const std::string text = numberToText(value);
    checkText(value, text);
    checkCut(value, text);

    std::string withComma = "X ";
    appendNumberText(withComma, value, ',');
    std::string expected = "X " + text;
    for (char& c : expected)
        if (c == '.')
            c = ',';
    if (withComma != expected)
        fail("decimal comma text differs from the point text", value, withComma);
    const std::string_view commaCut = cutToEight(std::string_view(withComma).substr(2));
    if (commaCut.size() != cutToEight(text).size())
        fail("cut of the decimal comma text differs", value, std::string(commaCut));
    return 0;
}
