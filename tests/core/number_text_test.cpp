#include "relief/number_text.h"

#include <gtest/gtest.h>

namespace {

TEST(NumberText, FifteenSignificantDigitsAsAPlainDecimal)
{
    const std::pair<double, const char*> table[] = {
        {200 / 255.0 * 0.5, "0.392156862745098"},
        {100 / 255.0 * -0.5, "-0.196078431372549"},
        {0.0001234 * 1001, "0.1235234"},
        {0.001 * 50, "0.05"},
        {0.1 + 0.2, "0.3"},
        {50, "50"},
        {0, "0"},
        {-0.0, "0"},
        {1e-5, "0.00001"},
        {1.5e-7, "0.00000015"},
        {-2.5, "-2.5"},
        {123456789012345678.0, "123456789012346000"},
        {1e20, "100000000000000000000"},
        {999999999999999.9, "1000000000000000"},
        {0.99999999999999999, "1"},
        {254 / 255.0 * 0.21, "0.209176470588235"},
        {200 / 255.0 * 0.21, "0.164705882352941"},
    };
    for (const auto& [value, text] : table)
        EXPECT_EQ(numberToText(value), text) << value;
}

TEST(NumberText, DecimalCommaIsOnlyTheSeparatorSwapped)
{
    std::string text = "X ";
    appendNumberText(text, -1234.5, ',');
    EXPECT_EQ(text, "X -1234,5");
}

TEST(NumberText, CutToEightKeepsTheIntegerPart)
{
    const std::pair<const char*, const char*> table[] = {
        {"0.1235234", "0.123523"},   {"0.00010004", "0.000100"}, {"123456.789", "123456.7"},
        {"1234567.89", "1234567"},   {"-1234567.8", "-1234567"}, {"123456789.5", "123456789"},
        {"-12345678", "-12345678"},  {"12", "12"},               {"0,1235234", "0,123523"},
        {"-0.000001234", "-0.00000"},
    };
    for (const auto& [text, cut] : table)
        EXPECT_EQ(cutToEight(text), cut) << text;
}

}  // namespace
