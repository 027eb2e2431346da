#include "strict_number.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// True when the text is [+-]digits[.digits][(e|E)[+-]digits] with at least
// one digit in the mantissa. from_chars alone would also take "inf", "nan"
// and stop quietly before trailing characters.
bool isDecimalText(std::string_view t)
{
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        ++i;
    std::size_t digits = 0;
    for (; i < t.size() && isDigit(t[i]); ++i)
        ++digits;
    if (i < t.size() && t[i] == '.')
        for (++i; i < t.size() && isDigit(t[i]); ++i)
            ++digits;
    if (digits == 0)
        return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            ++i;
        const std::size_t start = i;
        while (i < t.size() && isDigit(t[i]))
            ++i;
        if (i == start)
            return false;
    }
    return i == t.size();
}

}  // namespace

StrictNumber readStrictNumber(std::string_view text)
{
    StrictNumber n;
    if (text.empty()) {
        n.problem = "valeur vide";
        return n;
    }
    if (!isDecimalText(text)) {
        n.problem = "« " + std::string(text) + " » n'est pas un nombre décimal (exemple : 0.25)";
        return n;
    }
    std::string_view digits = text;
    if (digits.front() == '+')  // from_chars takes no plus sign
        digits.remove_prefix(1);
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n.value);
    if (error == std::errc::result_out_of_range || (error == std::errc() && !std::isfinite(n.value))) {
        n.problem = "« " + std::string(text) + " » est hors des limites des nombres utilisables";
        return n;
    }
    if (error != std::errc() || end != digits.data() + digits.size())
        n.problem = "« " + std::string(text) + " » n'est pas un nombre décimal (exemple : 0.25)";
    return n;
}
