#include "relief/export_parameters.h"
#include "relief/number_reading.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

namespace {

struct Reading {
    const char* text;
    double value;
};

TEST(NumberReading, LenientRuleOfTheFields)
{
    const Reading table[] = {
        {"0.001 ", 0.001},  {"0,5", 0},          {"1 000", 1000},    {"abc", 0},       {"", 0},
        {"   ", 0},         {"1E3", 1000},       {"1e3", 1000},      {"2D2", 200},     {"2d-1", 0.2},
        {"-0.5", -0.5},     {"+7", 7},           {" - 1 . 5", -1.5}, {"1.2.3", 1.2},   {"1e", 1},
        {"1e+", 1},         {"e5", 0},           {".5", 0.5},        {"5.", 5},        {"\t1\n2", 12},
        {"12abc", 12},      {"3 e 2", 300},      {"--1", 0},         {"-", 0},         {"0.1", 0.1},
        {"1\r2", 1},        {"50", 50},          {"7e-1x", 0.7},     {"1,5e3", 1},     {".", 0},
    };
    for (const Reading& r : table) {
        const FieldNumber n = readFieldNumber(r.text);
        EXPECT_EQ(n.value, r.value) << '"' << r.text << '"';
        EXPECT_FALSE(n.overflow) << r.text;
    }
}

TEST(NumberReading, ExtremesRoundToTheNearestDoubleOrOverflow)
{
    EXPECT_EQ(readFieldNumber("1e-400").value, 0.0);
    EXPECT_FALSE(readFieldNumber("1e-400").overflow);
    EXPECT_EQ(readFieldNumber("3e-324").value, 4.9406564584124654e-324);
    EXPECT_EQ(readFieldNumber("0e99999").value, 0.0);
    EXPECT_FALSE(readFieldNumber("0e99999").overflow);
    EXPECT_EQ(readFieldNumber("1.7976931348623157e308").value, DBL_MAX);
    EXPECT_EQ(readFieldNumber("0.000000001e317").value, 1e308);

    for (const char* text : {"1e400", "-1e400", "1D999999999999999999999", "9e308"}) {
        EXPECT_TRUE(readFieldNumber(text).overflow) << text;
    }
    EXPECT_TRUE(readFieldNumber(std::string("1") + std::string(400, '0')).overflow);
    EXPECT_FALSE(readFieldNumber("0." + std::string(400, '0') + "1e400").overflow);
}

// Only a depth below the floor is raised to it; the scale and the step:
// text_files_test's worked example.
TEST(NumberReading, TheDepthFloorRaisesOnlyWhatIsBelowIt)
{
    const std::pair<const char*, double> cases[] = {{"0.1", 0.21}, {"0", 0.21},    {"-1", 0.21},
                                                    {"abc", 0.21}, {"0.21", 0.21}, {"0.5", 0.5}};
    for (const auto& [depth, raised] : cases)
        EXPECT_EQ(readParameters({depth, "0.001 ", "50"}, 0.21).parameters.maxDepth, raised) << depth;
    EXPECT_EQ(readParameters({"-1", "0.001 ", "50"}, std::nullopt).parameters.maxDepth, -1);
}

TEST(NumberReading, OverflowStopsTheExportNamingTheFirstFieldRead)
{
    auto problem = [](const char* depth, const char* scale, const char* step) {
        return readParameters({depth, scale, step}, 0.21).problem.value_or("");
    };
    EXPECT_NE(problem("1e400", "1e400", "1e400").find("Largeur en m/pixel"), std::string::npos);
    // The floor never turns an overflowing depth into 0.21.
    EXPECT_NE(problem("-1e400", "0.001", "1e400").find("Profondeur maxi en m"), std::string::npos);
    EXPECT_NE(problem("0.5", "0.001", "-1e400").find("Pas en pixel"), std::string::npos);
    EXPECT_EQ(problem("0.5", "0.001", "1e300"), "");
}

}  // namespace
