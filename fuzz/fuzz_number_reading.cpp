// Checks readFieldNumber against a second, deliberately plain reading of the
// same text: the blanks, tabs and line feeds are dropped first, the number is
// scanned character by character into a canonical "[-]digits.digitsE[-]digits"
// text and converted by strtod in the "C" locale.
//
// The two must agree bit for bit, the sign of zero included: "-0" and a
// negative number too small for a double both read as -0.0. The overflow flag
// must be set exactly when the magnitude is beyond the largest double, and the
// value is then an infinity of the number's sign.

#include "relief/number_reading.h"

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

struct PlainReading {
    double value = 0;
    bool overflow = false;
};

bool digit(char c) { return c >= '0' && c <= '9'; }

PlainReading plainRead(std::string_view text)
{
    std::string s;
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n')
            s += c;

    std::size_t i = 0;
    std::string canonical;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-')
            canonical += '-';
        ++i;
    }
    std::size_t digits = 0;
    std::string mantissa;
    while (i < s.size() && digit(s[i])) {
        mantissa += s[i++];
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        mantissa += s[i++];
        while (i < s.size() && digit(s[i])) {
            mantissa += s[i++];
            ++digits;
        }
    }
    if (digits == 0)
        return {};  // no number at the start: 0, and positive
    // A leading zero added as its own piece: GCC 12 sees a false overlap in insert().
    if (mantissa[0] == '.')
        canonical += '0';
    canonical += mantissa;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        ++i;
        std::string exponent = "e";
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            exponent += s[i++];
        std::size_t exponentDigits = 0;
        while (i < s.size() && digit(s[i])) {
            exponent += s[i++];
            ++exponentDigits;
        }
        if (exponentDigits > 0)  // a letter without digits adds nothing
            canonical += exponent;
    }

    PlainReading r;
    errno = 0;
    r.value = std::strtod(canonical.c_str(), nullptr);
    r.overflow = std::isinf(r.value);
    return r;
}

std::uint64_t bits(double v)
{
    std::uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::setlocale(LC_ALL, "C");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const FieldNumber main = readFieldNumber(text);
    const PlainReading plain = plainRead(text);
    if (bits(main.value) != bits(plain.value) || main.overflow != plain.overflow) {
        std::fprintf(stderr, "readFieldNumber gives %a (overflow %d), the plain reading %a (overflow %d)\n",
                     main.value, int(main.overflow), plain.value, int(plain.overflow));
        std::abort();
    }
    if (std::isnan(main.value))
        std::abort();
    return 0;
}
