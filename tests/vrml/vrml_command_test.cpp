// The two mesh exports as whole commands: what the user sees, and the
// failures that must leave earlier files alone.

#include "export/vrml1_export.h"
#include "export/vrml2_export.h"
#include "relief/export_command.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

namespace {

struct Format {
    const char* name;
    const ExportFormat& (*get)();
};

void PrintTo(const Format& f, std::ostream* os)
{
    *os << f.name;
}

struct VrmlCommand : ::testing::TestWithParam<Format>, FakeDesktop {
    ExportRequest request{{"0.5", "0.001 ", "50"}, {100, 0, 100, 0}, nullptr};

    VrmlCommand() { dialog.answer = "relief.wrl"; }
    ExportOutcome run() { return FakeDesktop::run(GetParam().get(), request); }
};

TEST_P(VrmlCommand, WritesTheFileWithScanWindowDotsAndMessage)
{
    files.files["relief.wrl"] = "earlier";
    EXPECT_EQ(run(), ExportOutcome::Written);
    EXPECT_NE(files.files["relief.wrl"], "earlier");
    EXPECT_EQ(files.files["relief.wrl"].substr(0, 7), "#VRML V");
    EXPECT_EQ(scan.left, 1500 + 10800);
    EXPECT_EQ(scan.top, 900);
    EXPECT_EQ(scan.events, (std::vector<std::string>{"move", "show", "hide"}));
    EXPECT_EQ(scan.dots, (std::vector<std::pair<double, double>>{{0, 0}, {50, 0}, {0, 50}, {50, 50}}));
    EXPECT_EQ(events.yields, 4);
    EXPECT_EQ(messages.information_, std::vector<std::string>{"Création du fichier terminée."});
    EXPECT_TRUE(messages.warnings.empty());
}

TEST_P(VrmlCommand, CancelledDialogEndsQuietly)
{
    dialog.answer.reset();
    EXPECT_EQ(run(), ExportOutcome::Cancelled);
    EXPECT_TRUE(files.files.empty());
    EXPECT_TRUE(scan.events.empty());
    EXPECT_TRUE(messages.information_.empty());
    EXPECT_TRUE(messages.warnings.empty());
}

TEST_P(VrmlCommand, UnwritablePathOrFailedWriteKeepsTheEarlierFile)
{
    files.files["relief.wrl"] = "earlier";
    files.openError = "Permission denied";
    EXPECT_EQ(run(), ExportOutcome::Failed);
    files.openError.clear();
    files.failWrites = true;
    EXPECT_EQ(run(), ExportOutcome::Failed);
    EXPECT_EQ(files.files["relief.wrl"], "earlier");
    EXPECT_EQ(messages.warnings.size(), 2u);
    EXPECT_TRUE(messages.information_.empty());
    EXPECT_EQ(scan.events.back(), "hide");
}

TEST_P(VrmlCommand, ClosingDuringTheWalkWritesNothing)
{
    files.files["relief.wrl"] = "earlier";
    events.onYield = [](int n) { return n < 3; };
    EXPECT_EQ(run(), ExportOutcome::Abandoned);
    EXPECT_EQ(files.files["relief.wrl"], "earlier");
    EXPECT_TRUE(messages.information_.empty());
    EXPECT_TRUE(messages.warnings.empty());
}

TEST_P(VrmlCommand, StepZeroStopsBeforeTheDialog)
{
    request.fields.step = "0";
    EXPECT_EQ(run(), ExportOutcome::Refused);
    EXPECT_TRUE(dialog.filters.empty());
    EXPECT_TRUE(files.files.empty());
    EXPECT_EQ(messages.warnings.size(), 1u);
}

TEST_P(VrmlCommand, SecondExportReplacesTheFirst)
{
    EXPECT_EQ(run(), ExportOutcome::Written);
    request.lines = {50, 0, 50, 0};
    EXPECT_EQ(run(), ExportOutcome::Written);
    const std::string& file = files.files["relief.wrl"];
    const std::size_t firstCell = file.find("point [");
    ASSERT_NE(firstCell, std::string::npos);
    EXPECT_EQ(file.find("point [", firstCell + 1), std::string::npos);  // one cell, not the first walk's four
    EXPECT_EQ(messages.information_.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Formats, VrmlCommand,
                         ::testing::Values(Format{"Vrml1", vrml1Export}, Format{"Vrml2", vrml2Export}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
