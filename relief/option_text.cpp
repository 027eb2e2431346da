#include "option_text.h"

#include "number_text.h"
#include "size_text.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The blanks a French text may hold around a number or between its groups
// of digits: space, tab, no-break space and narrow no-break space (UTF-8).
std::size_t blankAt(std::string_view text, std::size_t at)
{
    if (text[at] == ' ' || text[at] == '\t')
        return 1;
    if (text.substr(at, 2) == "\u00A0")
        return 2;
    if (text.substr(at, 3) == "\u202F")
        return 3;
    return 0;
}

std::string_view trimmed(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t blank = blankAt(text, start);
        if (blank == 0)
            break;
        start += blank;
    }
    text.remove_prefix(start);
    // Trailing blanks: every byte of them is a space, a tab or part of a
    // no-break space (0xC2 0xA0, 0xE2 0x80 0xAF).
    while (!text.empty()) {
        const std::size_t n = text.size();
        if (text.back() == ' ' || text.back() == '\t')
            text.remove_suffix(1);
        else if (n >= 2 && text.substr(n - 2) == "\u00A0")
            text.remove_suffix(2);
        else if (n >= 3 && text.substr(n - 3) == "\u202F")
            text.remove_suffix(3);
        else
            break;
    }
    return text;
}

// The number in the C form std::from_chars reads, or nothing when the text
// is not a number as the field takes it.
std::optional<std::string> plainNumber(std::string_view text)
{
    std::string plain;
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
        if (text[at] == '-')
            plain += '-';
        ++at;
    }
    // The whole part, in groups parted by blanks: a first group of one to
    // three digits, then groups of three.
    std::vector<std::size_t> groups{0};
    while (at < text.size()) {
        if (isDigit(text[at])) {
            plain += text[at++];
            ++groups.back();
        } else if (const std::size_t blank = blankAt(text, at); blank > 0 && groups.back() > 0) {
            at += blank;
            groups.push_back(0);
        } else {
            break;
        }
    }
    if (groups.size() > 1) {
        if (groups.front() > 3)
            return std::nullopt;
        for (std::size_t g = 1; g < groups.size(); ++g)
            if (groups[g] != 3)
                return std::nullopt;
    }
    if (at < text.size() && (text[at] == '.' || text[at] == ',')) {
        plain += '.';
        for (++at; at < text.size() && isDigit(text[at]); ++at)
            plain += text[at];
    }
    if (plain.find_first_of("0123456789") == std::string::npos)
        return std::nullopt;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        plain += 'e';
        ++at;
        if (at < text.size() && (text[at] == '-' || text[at] == '+'))
            plain += text[at++];
        const std::size_t first = at;
        for (; at < text.size() && isDigit(text[at]); ++at)
            plain += text[at];
        if (at == first)
            return std::nullopt;
    }
    if (at != text.size())
        return std::nullopt;
    return plain;
}

}  // namespace

std::string optionValueText(const FormatOption& option, double value)
{
    if (std::holds_alternative<std::uint64_t FormatOptions::*>(option.field))
        return countText(static_cast<std::uint64_t>(value));
    std::string text;
    appendNumberText(text, value, ',');
    return text;
}

OptionReading readOptionText(const FormatOption& option, std::string_view text)
{
    const std::optional<std::string> plain = plainNumber(trimmed(text));
    if (!plain)
        return {std::nullopt, "ce n'est pas un nombre"};
    double value = 0;
    const auto [end, error] = std::from_chars(plain->data(), plain->data() + plain->size(), value);
    if (error != std::errc() || end != plain->data() + plain->size())
        return {std::nullopt, "le nombre est trop grand ou trop petit"};
    value += 0.0;  // "-0" is 0
    if (std::string problem = optionValueProblem(option, value); !problem.empty())
        return {std::nullopt, problem};
    return {value, {}};
}
