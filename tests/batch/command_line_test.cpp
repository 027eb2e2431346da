// Reading orvanel-batch's command line: strict numbers, the rectangle, the
// options and the positional arguments.

#include "batch_arguments.h"
#include "strict_number.h"

#include "relief/number_reading.h"
#include "support/every_format.h"
#include "support/sample_format.h"

#include <QString>

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

namespace {

using Request = ParsedCommandLine::Request;

// Read as orvanel-batch reads it: with every format registered.
const bool everyFormat = (addEveryFormat(), true);

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

TEST(StrictNumber, RefusesWhatTheFieldsWouldReadLenientlyAndWhatLiesBeyondTheDoubles)
{
    for (const char* text : {"", "0,5", " 1", "1 ", "1 000", "abc", "1.5m", "--1", "1e", "1e+", ".", "-", "1d3",
                             "0x10", "inf", "-inf", "nan", "1..2", "1.2.3", "e5"})
        EXPECT_TRUE(readStrictNumber(text).problem) << '"' << text << '"';
    for (const char* text : {"1e309", "-2e308", "1e-400"})
        EXPECT_NE(readStrictNumber(text).problem.value_or("").find("limites"), std::string::npos) << text;
}

// Everything an export request holds, as one line.
std::string described(const ParsedCommandLine& c)
{
    if (c.request != Request::Export)
        return "refused: " + c.problem;
    const BatchArguments& a = c.arguments;
    std::ostringstream s;
    s << a.format << '|' << a.image << '|' << a.output << '|' << a.fields.depth << '|' << a.fields.scale << '|'
      << a.fields.step << (a.asTyped ? "|as typed" : "");
    if (a.rectangle)
        s << "|rect " << a.rectangle->left << ',' << a.rectangle->top << ',' << a.rectangle->width << ','
          << a.rectangle->height;
    if (a.edges)
        s << "|edges " << a.edges->rightEdge << ',' << a.edges->leftEdge << ',' << a.edges->bottomEdge << ','
          << a.edges->topEdge;
    s << (a.quiet ? "|quiet" : "") << (a.force ? "|force" : "") << (a.formatOptions.count("solid") ? "|solid" : "");
    if (a.formatOptions.count("base"))
        s << "|base " << a.formatOptions.at("base");
    if (a.formatOptions.count("max-triangles"))
        s << "|at most " << a.formatOptions.at("max-triangles");
    if (!a.preview.empty())
        s << "|preview " << a.preview;
    if (a.threads)
        s << "|threads " << a.threads;
    return s.str();
}

// The defaults are the fields' own and the whole picture; options stand
// anywhere, their value after a blank or "="; "--" ends them; --as-typed and
// --edges replay a desktop export.
TEST(CommandLine, ReadsEveryArgumentWhereverItStands)
{
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"vrml2", "in.png", "out.wrl"}, "vrml2|in.png|out.wrl|0.5|0.001 |50"},
        {{"--depth", "-0.25", "ascii", "--scale=2e-3", "in.png", "--rect", "-10,5.5,200,0", "out.asc", "--step=7.5",
          "--quiet"},
         "ascii|in.png|out.asc|-0.25|2e-3|7.5|rect -10,5.5,200,0|quiet"},
        {{"stl", "in.png", "-", "--as-typed", "--scale", "0,5", "--depth", " 2m", "--edges", "100.5,3,40,0.25",
          "--force", "--solid", "--base", "0.02", "--max-triangles", "5000", "--threads", "3"},
         "stl|in.png|-| 2m|0,5|50|as typed|edges 100.5,3,40,0.25|force|solid|base 0.02|at most 5000|threads 3"},
        {{"preview", "in.png", "relief.png"}, "preview|in.png||0.5|0.001 |50|preview relief.png"},
        {{"ascii", "--", "-in.png", "-out.asc"}, "ascii|-in.png|-out.asc|0.5|0.001 |50"},
        {{"ascii", "--", "--help", "x"}, "ascii|--help|x|0.5|0.001 |50"},  // a picture named --help
    };
    for (const auto& [arguments, wanted] : cases)
        EXPECT_EQ(described(parseCommandLine(arguments)), wanted);
}

TEST(CommandLine, HelpAndVersionWinOverEverythingElse)
{
    EXPECT_EQ(parseCommandLine({"--help"}).request, Request::Help);
    EXPECT_EQ(parseCommandLine({"pdf", "--depth", "x", "--help"}).request, Request::Help);
    EXPECT_EQ(parseCommandLine({"--version"}).request, Request::Version);
    EXPECT_EQ(parseCommandLine({"--bogus", "--version"}).request, Request::Version);
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
        {{"stl", "in.png", "out", "--frame", "side"}, "--frame : « side » : attendu part|vrml"},
        {{"obj", "in.png", "out", "--every", "0"}, "--every : un nombre entier d'au moins 1"},
        {{"step", "in.png", "out", "--frame", "vrml", "--width", "150"}, "--width ne s'applique qu'avec --frame part"},
        {{"stl", "in.png", "out", "--invert", "--frame=vrml"}, "--invert ne s'applique qu'avec --frame part"},
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
        {{"obj", "in.png", "out", "--threads", "0"}, "--threads"},
        {{"obj", "in.png", "out", "--threads", "2.5"}, "--threads"},
        {{"step", "in.png", "out", "--tolerance", "-1"}, "--tolerance"},
    };
    for (const Case& c : cases) {
        const ParsedCommandLine parsed = parseCommandLine(c.arguments);
        EXPECT_EQ(parsed.request, Request::Invalid) << c.named;
        EXPECT_NE(parsed.problem.find(c.named), std::string::npos) << parsed.problem;
    }
}

TEST(CommandLine, UsageIsInFrenchAndListsEveryFormatAndOption)
{
    const std::string usage = usageText();
    std::vector<std::string> words{"Usage", "SORTIE", "profondeur", "défaut", "--depth", "--scale", "--step",
                                   "--rect", "--edges", "--as-typed", "--preview", "--report", "--force", "--quiet",
                                   "--help", "--version"};
    for (const FormatEntry& format : formatRegistry().all()) {
        words.push_back("  " + std::string(format.id) + " ");
        for (const FormatOption& option : format.options)
            words.push_back("--" + std::string(option.key) + " ");
    }
    for (const std::string& word : words)
        EXPECT_NE(usage.find(word), std::string::npos) << word;
    // Every line the program's own help leaves at the terminal's width.
    for (std::size_t start = 0, end; (end = usage.find('\n', start)) != std::string::npos; start = end + 1)
        EXPECT_LE(QString::fromStdString(usage.substr(start, end - start)).size(), 80) << usage.substr(start, end - start);
}

// A format added through the registry alone is read, refused the options it
// does not take, and listed by --help.
TEST(CommandLine, AFormatAddedToTheRegistryIsReadAndListed)
{
    const FormatRegistry standard = formatRegistry();
    formatRegistry().add(pointLinesFormat());
    EXPECT_EQ(described(parseCommandLine({"points", "in.png", "out.xyz"})), "points|in.png|out.xyz|0.5|0.001 |50");
    EXPECT_NE(parseCommandLine({"points", "in.png", "out.xyz", "--solid"}).problem.find("au format « points »"),
              std::string::npos);
    EXPECT_NE(usageText().find("  points   « Liste de points (essai) » (.xyz)"), std::string::npos);
    formatRegistry() = standard;
}

}  // namespace
