// Reading orvanel-batch's command line: strict numbers, the rectangle, the
// options and the positional arguments.

#include "batch_arguments.h"
#include "strict_number.h"

#include "relief/number_reading.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using Request = ParsedCommandLine::Request;

ParsedCommandLine parse(std::vector<std::string> arguments)
{
    return parseCommandLine(arguments);
}

bool sameDouble(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(StrictNumber, AcceptsDecimalsAndReadsThemAsTheFieldsDo)
{
    // The export reads the accepted text with the fields' lenient rule: both
    // readings must give the very same double, or the bytes would differ.
    for (const char* text : {"0.5", "0.001", "50", "-12.75", "+3", ".5", "5.", "1e-3", "2.5E+2", "-0",
                             "0.1000000000000000055511151231257827", "123456789012345678901234567890",
                             "4.9e-324", "1.7976931348623157e308"}) {
        const StrictNumber strict = readStrictNumber(text);
        ASSERT_FALSE(strict.problem) << text << ": " << *strict.problem;
        EXPECT_TRUE(sameDouble(strict.value, readFieldNumber(text).value)) << text;
    }
}

TEST(StrictNumber, RefusesWhatTheFieldsWouldReadLeniently)
{
    for (const char* text : {"", "0,5", " 1", "1 ", "1 000", "abc", "1.5m", "--1", "1e", "1e+", ".", "-",
                             "1d3", "0x10", "inf", "-inf", "nan", "1..2", "1.2.3", "e5"})
        EXPECT_TRUE(readStrictNumber(text).problem) << '"' << text << '"';
}

TEST(StrictNumber, RefusesNumbersBeyondTheDoubles)
{
    for (const char* text : {"1e309", "-2e308", "1e-400"}) {
        const StrictNumber n = readStrictNumber(text);
        ASSERT_TRUE(n.problem) << text;
        EXPECT_NE(n.problem->find("limites"), std::string::npos) << *n.problem;
    }
}

TEST(CommandLine, DefaultsAreTheFieldsDefaultsAndTheWholePicture)
{
    const ParsedCommandLine c = parse({"vrml2", "in.png", "out.wrl"});
    ASSERT_EQ(c.request, Request::Export) << c.problem;
    EXPECT_EQ(c.arguments.format, "vrml2");
    EXPECT_EQ(c.arguments.image, "in.png");
    EXPECT_EQ(c.arguments.output, "out.wrl");
    EXPECT_EQ(readFieldNumber(c.arguments.fields.depth).value, 0.5);
    EXPECT_EQ(readFieldNumber(c.arguments.fields.scale).value, 0.001);
    EXPECT_EQ(readFieldNumber(c.arguments.fields.step).value, 50);
    EXPECT_FALSE(c.arguments.rectangle);
    EXPECT_FALSE(c.arguments.quiet);
}

TEST(CommandLine, OptionsStandAnywhereWithTheirValueAfterABlankOrAnEqualsSign)
{
    const ParsedCommandLine c =
        parse({"--depth", "-0.25", "ascii", "--scale=2e-3", "in.png", "--rect", "-10,5.5,200,0", "out.asc",
               "--step=7.5", "--quiet"});
    ASSERT_EQ(c.request, Request::Export) << c.problem;
    EXPECT_EQ(c.arguments.fields.depth, "-0.25");
    EXPECT_EQ(c.arguments.fields.scale, "2e-3");
    EXPECT_EQ(c.arguments.fields.step, "7.5");
    ASSERT_TRUE(c.arguments.rectangle);
    EXPECT_EQ(c.arguments.rectangle->left, -10);
    EXPECT_EQ(c.arguments.rectangle->top, 5.5);
    EXPECT_EQ(c.arguments.rectangle->width, 200);
    EXPECT_EQ(c.arguments.rectangle->height, 0);
    EXPECT_TRUE(c.arguments.quiet);
    EXPECT_EQ(c.arguments.output, "out.asc");
}

// The options that replay a desktop export: the fields read as typed, and
// the edge lines as the window holds them.
TEST(CommandLine, AsTypedAndEdgesReplayTheWindow)
{
    const ParsedCommandLine c =
        parse({"vrml1", "in.png", "-", "--as-typed", "--scale", "0,5", "--depth", " 2m", "--edges", "100.5,3,40,0.25",
               "--force", "--solid", "--base", "0.02", "--max-triangles", "5000"});
    ASSERT_EQ(c.request, Request::Export) << c.problem;
    EXPECT_EQ(c.arguments.fields.scale, "0,5");
    EXPECT_EQ(c.arguments.fields.depth, " 2m");
    ASSERT_TRUE(c.arguments.edges);
    EXPECT_EQ(c.arguments.edges->line1X1, 100.5f);
    EXPECT_EQ(c.arguments.edges->line4X1, 3.f);
    EXPECT_EQ(c.arguments.edges->line2Y1, 40.f);
    EXPECT_EQ(c.arguments.edges->line3Y1, 0.25f);
    EXPECT_EQ(c.arguments.output, "-");
    EXPECT_TRUE(c.arguments.force && c.arguments.solid);
    EXPECT_EQ(c.arguments.base, 0.02);
    EXPECT_EQ(c.arguments.maxTriangles, 5000u);
    const ParsedCommandLine picture = parse({"preview", "in.png", "relief.png"});
    ASSERT_EQ(picture.request, Request::Export) << picture.problem;
    EXPECT_EQ(picture.arguments.preview, "relief.png");
}

TEST(CommandLine, DoubleDashLetsAPathStartWithADash)
{
    const ParsedCommandLine c = parse({"ascii", "--", "-in.png", "-out.asc"});
    ASSERT_EQ(c.request, Request::Export) << c.problem;
    EXPECT_EQ(c.arguments.image, "-in.png");
    EXPECT_EQ(c.arguments.output, "-out.asc");
}

TEST(CommandLine, HelpAndVersionWinOverEverythingElse)
{
    EXPECT_EQ(parse({"--help"}).request, Request::Help);
    EXPECT_EQ(parse({"pdf", "--depth", "x", "--help"}).request, Request::Help);
    EXPECT_EQ(parse({"--version"}).request, Request::Version);
    EXPECT_EQ(parse({"--bogus", "--version"}).request, Request::Version);
    const ParsedCommandLine afterDoubleDash = parse({"ascii", "--", "--help", "x"});
    ASSERT_EQ(afterDoubleDash.request, Request::Export);  // a picture named --help
    EXPECT_EQ(afterDoubleDash.arguments.image, "--help");
}

TEST(CommandLine, EveryErrorNamesItsArgument)
{
    struct Case {
        std::vector<std::string> arguments;
        const char* named;
    };
    const Case cases[] = {
        {{"pdf", "in.png", "out"}, "FORMAT"},
        {{"ASCII", "in.png", "out"}, "« ASCII »"},
        {{"ascii", "in.png"}, "SORTIE"},
        {{"ascii"}, "IMAGE"},
        {{}, "FORMAT"},
        {{"ascii", "in.png", "out", "extra"}, "« extra »"},
        {{"ascii", "", "out"}, "IMAGE"},
        {{"ascii", "in.png", ""}, "SORTIE"},
        {{"ascii", "in.png", "out", "--depth", "0,5"}, "--depth"},
        {{"ascii", "in.png", "out", "--scale", "1e999"}, "--scale"},
        {{"ascii", "in.png", "out", "--step", "nan"}, "--step"},
        {{"ascii", "in.png", "out", "--step"}, "--step"},
        {{"ascii", "in.png", "out", "--depth=", "1"}, "--depth"},
        {{"ascii", "in.png", "out", "--step", "1", "--step", "2"}, "--step"},
        {{"ascii", "in.png", "out", "--colour", "1"}, "--colour"},
        {{"ascii", "in.png", "out", "-q"}, "« -q »"},
        {{"ascii", "in.png", "out", "--quiet=yes"}, "--quiet"},
        {{"ascii", "in.png", "out", "--rect", "1,2,3"}, "--rect"},
        {{"ascii", "in.png", "out", "--rect", "1,2,3,4,5"}, "--rect"},
        {{"ascii", "in.png", "out", "--rect", "0,0,-1,10"}, "largeur"},
        {{"ascii", "in.png", "out", "--rect", "0,0,10,-1"}, "hauteur"},
        {{"ascii", "in.png", "out", "--rect", "0,x,10,10"}, "haut"},
        {{"ascii", "in.png", "out", "--rect", "0,0,1e39,10"}, "--rect"},  // beyond single precision
        {{"ascii", "in.png", "out", "--rect", "100000000,0,5,5"}, "bord gauche"},  // would be rounded
        {{"ascii", "in.png", "out", "--rect", "0,16777000,5,500"}, "bord bas"},
        {{"ascii", "in.png", "out", "--edges", "1,2,3"}, "--edges"},
        {{"ascii", "in.png", "out", "--edges", "1,2,3,4", "--rect", "1,2,3,4"}, "--rect et --edges"},
        {{"stl", "in.png", "out", "--max-triangles", "1.5"}, "--max-triangles"},
        {{"step", "in.png", "out", "--tolerance", "-1"}, "--tolerance"},
    };
    for (const Case& c : cases) {
        const ParsedCommandLine parsed = parseCommandLine(c.arguments);
        EXPECT_EQ(parsed.request, Request::Invalid) << c.named;
        EXPECT_NE(parsed.problem.find(c.named), std::string::npos) << parsed.problem;
    }
}

TEST(CommandLine, UsageIsInFrenchAndListsEveryOption)
{
    const std::string usage = usageText();
    for (const char* word : {"Usage", "SORTIE", "ascii", "vrml1", "vrml2", "--depth", "--scale", "--step", "--rect",
                             "--edges", "--as-typed", "--force", "--quiet", "--help", "--version", "profondeur",
                             "défaut"})
        EXPECT_NE(usage.find(word), std::string::npos) << word;
}

}  // namespace
