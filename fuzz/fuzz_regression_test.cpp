// Cases the fuzz targets found, kept as plain tests. The inputs themselves
// are in fuzz/corpus/ and are replayed by the fuzz_replay_* tests as well.

#include "export/ascii_export.h"
#include "export/vrml1_export.h"
#include "relief/export_command.h"
#include "relief/relief_sampler.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

namespace {

std::size_t countLines(const std::string& text)
{
    std::size_t lines = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
        ++lines;
    return lines;
}

}  // namespace

// fuzz_stage: a selection narrower than one step but very tall walked its
// rows one by one without a cell, so without yielding, for 10^14 rows.
TEST(FuzzRegression, TallSelectionNarrowerThanAStepEndsAtOnce)
{
    ExportParameters parameters;
    parameters.scale = 0.001;
    parameters.maxDepth = 0.5;
    parameters.step = 4;
    Selection selection;
    selection.left = 0;
    selection.top = -474644050083840.0f;
    selection.width = 4.3e-29f;
    selection.height = 474644050092288.0f;

    StringSink sink;
    TextOutput out(sink);
    ScriptedEvents events;
    RecordingScan scan;
    const Picture picture = uniformPicture(5, 5, 0xFFFFFF);
    EXPECT_EQ(sampleRelief(vrml1Export(), parameters, selection, picture, out, events, scan),
              WalkResult::Completed);
    ASSERT_TRUE(out.Close());
    EXPECT_EQ(events.yields, 0);
    EXPECT_TRUE(scan.dots.empty());
    EXPECT_EQ(countLines(sink.committed), 26u);
}

// The same through the whole command, as the user reaches it: the rectangle
// collapsed to a vertical line and a tiny step typed in.
TEST(FuzzRegression, CollapsedRectangleWithTinyStepWritesTheHeadOnly)
{
    ExportRequest request;
    request.fields = {"0.5", "0.001 ", "0.0000000001"};
    request.lines.line1X1 = 3000;
    request.lines.line4X1 = 3000;
    request.lines.line2Y1 = 8000;
    request.lines.line3Y1 = 0;
    request.picture = std::make_shared<Picture>(uniformPicture(10, 10, 0x808080));

    FakeSaveDialog dialog;
    MemoryFiles files;
    FixedFrame frame;
    RecordingScan scan;
    RecordingMessages messages;
    ScriptedEvents events;
    ExportFacilities facilities{dialog, files, frame, scan, messages, events};
    ASSERT_EQ(runExport(asciiExport(), request, facilities), ExportOutcome::Written);
    ASSERT_EQ(files.files.size(), 1u);
    EXPECT_EQ(countLines(files.files.begin()->second), 5u);
    EXPECT_EQ(events.yields, 0);
}
