// Every format's size estimate against the file it really writes: the
// typical figure within 5 %, the bound never below.

#include "support/fakes.h"
#include "export/standard_formats.h"
#include "support/sample_format.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

Picture testPicture(int kind)
{
    std::vector<std::uint32_t> colours(120 * 90);
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 120; ++x) {
            const int level = kind == 0 ? 0 : kind == 1 ? (x + y) % 256 : (x * 37 + y * 91 + x * y) % 256;
            colours[static_cast<std::size_t>(y * 120 + x)] = static_cast<std::uint32_t>(level);
        }
    return Picture(120, 90, colours);
}

TEST(SizeEstimate, TypicalWithinFivePercentAndNeverAboveTheBound)
{
    // A format added through the registry alone is measured like the others.
    const FormatRegistry standard = formatRegistry();
    formatRegistry().add(pointLinesFormat());
    const struct {
        FieldTexts fields;
        EdgeLines lines;
        bool oneCellThick = false;  // plain surfaces only: a solid would be mostly walls
    } jobs[] = {
        {{"0.5", "0.001 ", "25"}, {1900, 10, 1300, 5}},
        {{"-0.25", "0.0001234", "7.5"}, {1000, 0, 600, 0}},
        {{"3", "2", "40"}, {2000, 100, 1300, 40}},
        // More positions along an axis than are measured one by one
        // (measuredPerAxis): 16 500 columns through zero, then 16 500 rows.
        {{"0.5", "0.001 ", "0.1"}, {825, -825.05f, 0.1f, 0}, true},
        {{"0.5", "0.001 ", "0.1"}, {0.1f, 0, 1650.05f, 0}, true},
    };
    const FormatOptions optionSets[] = {inVrmlFrame(), inVrmlFrame({true, 0.05, 0, 0}),
                                        inVrmlFrame({true, 0.05, 400, 0})};
    for (const FormatEntry& entry : formatRegistry().all())
        for (int kind = 0; kind < 3; ++kind)
            for (const auto& job : jobs)
                for (const FormatOptions& options : optionSets) {
                    if ((entry.options.empty() || job.oneCellThick) && (options.solid || options.maxTriangles))
                        continue;
                    const ExportRequest request{job.fields, job.lines,
                                                std::make_shared<const Picture>(testPicture(kind))};
                    const PreparedExport prepared = prepareExport(entry, request);
                    ASSERT_FALSE(prepared.refusal);
                    const std::size_t actual = exportToMemory(entry, request, options).size();
                    const SizeEstimate estimate = entry.estimateSize({prepared.job, prepared.grid, options});
                    const std::string where = std::string(entry.id) + " picture " + std::to_string(kind) + " step " +
                                              job.fields.step + (options.solid ? " solid" : "") +
                                              (options.maxTriangles ? " budget" : "");
                    EXPECT_GE(estimate.upperBound, actual) << where;
                    if (!options.maxTriangles) {  // a budget's result depends on the relief
                        EXPECT_NEAR(double(estimate.typical), double(actual), 0.05 * double(actual)) << where;
                    }
                }
    formatRegistry() = standard;
}

}  // namespace
