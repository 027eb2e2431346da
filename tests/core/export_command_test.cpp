// One export command from the menu to the completion message, and its failures.

#include "export/ascii_export.h"
#include "export/vrml2_export.h"
#include "relief/export_command.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct Command : ::testing::Test, FakeDesktop {
    ExportRequest request{{"0.5", "0.001 ", "50"}, {100, 0, 100, 0}, nullptr};

    ExportOutcome run(const ExportFormat& format = asciiExport()) { return FakeDesktop::run(format, request); }
    long lines() { return std::count(files.files["out.asc"].begin(), files.files["out.asc"].end(), '\n'); }
    bool nothingShown() const { return scan.events.empty() && messages.information_.empty(); }
};

TEST_F(Command, WritesTheFileBesideTheMainWindowAndTellsTheUser)
{
    EXPECT_EQ(run(), ExportOutcome::Written);
    EXPECT_EQ(dialog.filters, std::vector<std::string>{"Fichier nuage de points Ascii (*.asc)|*.asc|"});
    EXPECT_EQ(scan.left, 1500 + 10800);
    EXPECT_EQ(scan.top, 900);
    EXPECT_EQ(scan.events, (std::vector<std::string>{"move", "show", "hide"}));
    EXPECT_EQ(messages.information_, std::vector<std::string>{"Création du fichier terminée."});
    EXPECT_TRUE(messages.warnings.empty());
    EXPECT_EQ(lines(), 5 + 4 * 4);
    EXPECT_EQ(events.yields, 4);
    EXPECT_EQ(scan.dots.size(), 4u);
}

TEST_F(Command, CancelledDialogEndsQuietly)
{
    dialog.answer.reset();
    EXPECT_EQ(run(), ExportOutcome::Cancelled);
    EXPECT_TRUE(files.files.empty());
    EXPECT_TRUE(nothingShown());
    EXPECT_TRUE(messages.warnings.empty());
}

TEST_F(Command, UnopenablePathIsReportedAndTheProgramGoesOn)
{
    files.files["out.asc"] = "earlier";
    files.openError = "Permission denied";
    EXPECT_EQ(run(), ExportOutcome::Failed);
    ASSERT_EQ(messages.warnings.size(), 1u);
    EXPECT_NE(messages.warnings[0].find("« out.asc »"), std::string::npos);
    EXPECT_NE(messages.warnings[0].find("Permission denied"), std::string::npos);
    EXPECT_TRUE(messages.information_.empty());
    EXPECT_EQ(files.files["out.asc"], "earlier");
    EXPECT_EQ(scan.events.back(), "hide");
}

TEST_F(Command, FailedWriteKeepsTheEarlierFile)
{
    files.files["out.asc"] = "earlier";
    files.failWrites = true;
    EXPECT_EQ(run(), ExportOutcome::Failed);
    ASSERT_EQ(messages.warnings.size(), 1u);
    EXPECT_NE(messages.warnings[0].find("No space left on device"), std::string::npos);
    EXPECT_TRUE(messages.information_.empty());
    EXPECT_EQ(files.files["out.asc"], "earlier");
}

TEST_F(Command, AbandonedExportWritesNothingAndSaysNothing)
{
    files.files["out.asc"] = "earlier";
    events.onYield = [](int n) { return n < 2; };
    EXPECT_EQ(run(), ExportOutcome::Abandoned);
    EXPECT_EQ(files.files["out.asc"], "earlier");
    EXPECT_TRUE(messages.information_.empty());
    EXPECT_TRUE(messages.warnings.empty());
}

TEST_F(Command, StepThatCannotAdvanceStopsBeforeTheDialog)
{
    for (const char* step : {"0", "abc", "1e-20"}) {
        request.fields.step = step;
        EXPECT_EQ(run(), ExportOutcome::Refused) << step;
    }
    EXPECT_TRUE(dialog.filters.empty());
    EXPECT_TRUE(files.files.empty());
    EXPECT_TRUE(nothingShown());
    ASSERT_EQ(messages.warnings.size(), 3u);
    EXPECT_NE(messages.warnings[0].find("Pas en pixel"), std::string::npos);
}

TEST_F(Command, OverflowingFieldStopsBeforeTheDialogEvenWithTheFloor)
{
    request.fields.depth = "-1e400";
    EXPECT_EQ(run(vrml2Export()), ExportOutcome::Refused);
    request.fields = {"0.5", "1e300", "50"};  // coordinates beyond the largest double
    request.lines = {1e30f, 0, 1e30f, 0};
    EXPECT_EQ(run(), ExportOutcome::Refused);
    EXPECT_TRUE(dialog.filters.empty());
    EXPECT_EQ(messages.warnings.size(), 2u);
}

TEST_F(Command, NegativeStepWritesTheHeadAlone)
{
    request.fields.step = "-50";
    EXPECT_EQ(run(), ExportOutcome::Written);
    EXPECT_EQ(lines(), 5);
    EXPECT_TRUE(scan.dots.empty());
}

}  // namespace
