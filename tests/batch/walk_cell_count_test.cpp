// The progress bar's total must be the number of cells the walk visits.

#include "walk_cell_count.h"

#include "export/ascii_export.h"
#include "platform/string_sink.h"
#include "relief/relief_sampler.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

namespace {

std::size_t cellsWalked(const ExportParameters& parameters, const Selection& selection)
{
    const Picture picture = uniformPicture(2, 2, 0x808080);
    StringSink sink;
    TextOutput out(sink);
    ScriptedEvents events;
    RecordingScan scan;
    sampleRelief(asciiExport(), parameters, selection, picture, out, events, scan);
    return scan.dots.size();
}

TEST(WalkCellCount, MatchesTheWalkWhateverTheRounding)
{
    struct Case {
        double step;
        Selection selection;
    };
    const Case cases[] = {
        {50, {0, 0, 100, 100}},           // whole steps: the last corner lies on the edge
        {50, {0, 0, 120, 99}},            // the strip narrower than a step is left out
        {0.1, {0, 0, 0.7f, 0.3f}},        // sums of 0.1 drift from the products
        {0.1, {0.1f, 0.2f, 1.0f, 0.6f}},
        {7.3, {-40.5f, 13.25f, 333.3f, 71.1f}},
        {3, {1e7f, 1e7f, 31, 9}},         // coarse floats far from the origin
        {50, {0, 0, 49.9f, 500}},         // narrower than a step: no cells
        {50, {0, 0, 500, 49.9f}},
        {-5, {0, 0, 100, 100}},           // a negative step walks no rows
        {1, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        ExportParameters parameters;
        parameters.step = c.step;
        parameters.scale = 0.001;
        parameters.maxDepth = 0.5;
        EXPECT_EQ(walkCellCount(parameters, c.selection), cellsWalked(parameters, c.selection))
            << "step " << c.step << " selection " << c.selection.left << ',' << c.selection.top << ','
            << c.selection.width << ',' << c.selection.height;
    }
}

}  // namespace
