#include "number_reading.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <string>
#include <system_error>

namespace {

bool isSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isExponentLetter(char c) { return c == 'E' || c == 'e' || c == 'D' || c == 'd'; }

// Walks the text, skipping blanks, and hands out the characters that matter.
class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}
    char peek()
    {
        while (pos_ < text_.size() && isSkipped(text_[pos_]))
            ++pos_;
        return pos_ < text_.size() ? text_[pos_] : '\0';
    }
    void take() { taken_ = ++pos_; }
    std::size_t taken() const { return taken_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t taken_ = 0;  // just past the last character read
};

// Decimal magnitude of the number "0.<fraction>" or "<integer>.<fraction>"
// times 10^exponent, saturated; used only to tell an overflow from an underflow.
long long decimalMagnitude(const std::string& integer, const std::string& fraction, long long exponent)
{
    const auto firstNonZero = integer.find_first_not_of('0');
    long long lead;
    if (firstNonZero != std::string::npos) {
        lead = static_cast<long long>(integer.size() - firstNonZero) - 1;
    } else {
        const auto inFraction = fraction.find_first_not_of('0');
        if (inFraction == std::string::npos)
            return LLONG_MIN;  // the number is zero
        lead = -static_cast<long long>(inFraction) - 1;
    }
    return lead + exponent;
}

}  // namespace

FieldNumber readFieldNumber(std::string_view text)
{
    Reader in(text);
    bool negative = false;
    if (in.peek() == '+' || in.peek() == '-') {
        negative = in.peek() == '-';
        in.take();
    }
    std::string integer, fraction;
    while (isDigit(in.peek())) {
        integer += in.peek();
        in.take();
    }
    if (in.peek() == '.') {
        in.take();
        while (isDigit(in.peek())) {
            fraction += in.peek();
            in.take();
        }
    }
    if (integer.empty() && fraction.empty())
        return {0, false, 0};

    std::string exponentDigits;
    bool negativeExponent = false;
    if (isExponentLetter(in.peek())) {
        in.take();
        if (in.peek() == '+' || in.peek() == '-') {
            negativeExponent = in.peek() == '-';
            in.take();
        }
        while (isDigit(in.peek())) {
            exponentDigits += in.peek();
            in.take();
        }
    }

    // Saturated exponent value, for telling overflow from underflow.
    long long exponent = 0;
    for (char c : exponentDigits)
        exponent = std::min(exponent * 10 + (c - '0'), 1LL << 40);
    if (negativeExponent)
        exponent = -exponent;

    std::string canonical = negative ? "-" : "";
    canonical += integer.empty() ? "0" : integer;
    if (!fraction.empty())
        canonical += "." + fraction;
    if (!exponentDigits.empty())
        canonical += (negativeExponent ? "e-" : "e") + exponentDigits;

    FieldNumber result;
    result.readLength = in.taken();
    const auto [end, error] =
        std::from_chars(canonical.data(), canonical.data() + canonical.size(), result.value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        if (decimalMagnitude(integer, fraction, exponent) >= 0) {
            result.overflow = true;
            result.value = negative ? -HUGE_VAL : HUGE_VAL;
        } else {
            result.value = negative ? -0.0 : 0.0;
        }
    }
    return result;
}

std::string fieldReadingDoubt(std::string_view label, std::string_view text)
{
    const FieldNumber number = readFieldNumber(text);
    const std::string_view rest = text.substr(number.readLength);
    if (number.readLength > 0 && rest.find_first_not_of(" \t\n") == std::string_view::npos)
        return {};
    const std::string field = "Le champ « " + std::string(label) + " » contient « " + std::string(text) + " » : ";
    if (number.readLength == 0)
        return field + "aucun nombre n'y est lu, la valeur prise est 0.";
    std::string read(text.substr(0, number.readLength));
    read.erase(0, read.find_first_not_of(" \t\n"));
    std::string doubt = field + "seul « " + read + " » est lu";
    const std::size_t next = rest.find_first_not_of(" \t\n");
    if (rest[next] == ',')
        doubt += ", le séparateur décimal est le point";
    return doubt + ".";
}
