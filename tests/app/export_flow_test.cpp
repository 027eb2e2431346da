// One export command from the menu to the completion message, its
// questions and its failures, for each of the text exports.

#include "desktop_fakes.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct Format {
    const char* name;
    long (*lineCount)(long cells);
    const FormatEntry& get() const { return format(name); }
};

const Format formats[] = {
    {"ascii", [](long n) { return 5 + 4 * n; }},
    {"vrml1", [](long n) { return 10 * n + 26; }},
    {"vrml2", [](long n) { return 18 * n + 10; }},
};

void PrintTo(const Format& format, std::ostream* out)
{
    *out << format.name;
}

struct Command : ::testing::TestWithParam<Format>, FakeDesktop {
    ExportRequest request{{"0.5", "0.001 ", "50"}, {100, 0, 100, 0}, std::make_shared<const Picture>(uniformPicture(8, 8, 0x80))};

    ExportOutcome run() { return FakeDesktop::run(GetParam().get(), request); }
    long lines()
    {
        const std::string file = written();
        return std::count(file.begin(), file.end(), '\n');
    }
    bool nothingShown() const { return scan.events.empty() && messages.information_.empty(); }
};

TEST_P(Command, WritesTheFileBesideTheMainWindowAndTellsTheUser)
{
    files.files["out.asc"] = "earlier";
    EXPECT_EQ(run(), ExportOutcome::Written);
    EXPECT_EQ(dialog.filters, std::vector<std::string>{std::string(GetParam().get().fileFilter)});
    EXPECT_EQ(scan.left, 1500 + 10800);
    EXPECT_EQ(scan.top, 900);
    EXPECT_EQ(scan.events, (std::vector<std::string>{"move", "show", "hide"}));
    EXPECT_EQ(scan.dots, (std::vector<std::pair<double, double>>{{0, 0}, {50, 0}, {0, 50}, {50, 50}}));
    EXPECT_EQ(events.yields, 4);
    EXPECT_EQ(messages.information_, std::vector<std::string>{"Création du fichier terminée."});
    EXPECT_TRUE(messages.warnings.empty());
    EXPECT_EQ(lines(), GetParam().lineCount(4));

    request.lines = {50, 0, 50, 0};  // a second export replaces the first file
    EXPECT_EQ(run(), ExportOutcome::Written);
    EXPECT_EQ(lines(), GetParam().lineCount(1));
}

TEST_P(Command, CancelledDialogEndsQuietly)
{
    dialog.answer.reset();
    EXPECT_EQ(run(), ExportOutcome::Cancelled);
    EXPECT_TRUE(files.files.empty());
    EXPECT_TRUE(nothingShown());
    EXPECT_TRUE(messages.warnings.empty());
}

TEST_P(Command, UnopenablePathIsReportedAndTheProgramGoesOn)
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

TEST_P(Command, FailedWriteKeepsTheEarlierFile)
{
    files.files["out.asc"] = "earlier";
    files.failWrites = true;
    EXPECT_EQ(run(), ExportOutcome::Failed);
    ASSERT_EQ(messages.warnings.size(), 1u);
    EXPECT_NE(messages.warnings[0].find("No space left on device"), std::string::npos);
    EXPECT_TRUE(messages.information_.empty());
    EXPECT_EQ(files.files["out.asc"], "earlier");
}

TEST_P(Command, AbandonedExportWritesNothingAndSaysNothing)
{
    files.files["out.asc"] = "earlier";
    events.onYield = [](int n) { return n < 2; };
    EXPECT_EQ(run(), ExportOutcome::Abandoned);
    EXPECT_EQ(files.files["out.asc"], "earlier");
    EXPECT_TRUE(messages.information_.empty());
    EXPECT_TRUE(messages.warnings.empty());
}

TEST_P(Command, StepThatCannotAdvanceStopsBeforeTheDialog)
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

TEST_P(Command, NegativeStepOrACollapsedRectangleWritesTheHeadAndTailAlone)
{
    request.fields.step = "-50";
    EXPECT_EQ(run(), ExportOutcome::Written);
    EXPECT_EQ(lines(), GetParam().lineCount(0));
    EXPECT_EQ(messages.questions.size(), 1u);  // asked first: "Exporter quand même" was chosen
    // A rectangle collapsed to a tall line with a tiny step: no cell, and no
    // walk over its rows either.
    request.fields.step = "0.0000000001";
    request.lines = {3000, 3000, 8000, 0};
    EXPECT_EQ(run(), ExportOutcome::Written);
    EXPECT_EQ(lines(), GetParam().lineCount(0));
    EXPECT_TRUE(scan.dots.empty());
    EXPECT_EQ(events.yields, 0);
}

// The question before an export whose result may surprise: every reason at
// once, nothing asked for ordinary input, nothing done after "Annuler".
TEST_P(Command, AsksBeforeAnExportThatMayNotBeWhatTheUserThinks)
{
    struct Case {
        FieldTexts fields;
        EdgeLines lines;
        bool picture;
        std::vector<const char*> reasons;
    };
    const Case cases[] = {
        {{"0.5", "0.001 ", "50"}, {100, 0, 100, 0}, true, {}},
        {{" 0.5 ", "1 000", "5e1"}, {100, 0, 100, 0}, true, {}},
        {{"0.5", "0,5", "50"}, {100, 0, 100, 0}, true,
         {"Le champ « Largeur en m/pixel » contient « 0,5 » : seul « 0 » est lu, le séparateur décimal est le point."}},
        {{"abc", "0.001", "2m"}, {100, 0, 100, 0}, true,
         {"« Profondeur maxi en m » contient « abc » : aucun nombre", "« Pas en pixel » contient « 2m » : seul « 2 » est lu."}},
        {{"0.5", "0.001", "50"}, {40, 0, 100, 0}, true,
         {"La sélection ne contient aucune cellule : le fichier n'aura que son en-tête."}},
        {{"0.5", "0.001", "50"}, {100, 0, 100, 0}, false, {"Aucune image n'est chargée : le relief sera plat."}},
    };
    messages.answer = false;
    for (const Case& c : cases) {
        messages.questions.clear();
        dialog.filters.clear();
        request = {c.fields, c.lines, c.picture ? request.picture : nullptr};
        const ExportOutcome outcome = run();
        if (c.reasons.empty()) {
            EXPECT_EQ(outcome, ExportOutcome::Written);
            EXPECT_TRUE(messages.questions.empty()) << messages.questions[0];
            continue;
        }
        EXPECT_EQ(outcome, ExportOutcome::Cancelled);
        ASSERT_EQ(messages.questions.size(), 1u);
        for (const char* reason : c.reasons)
            EXPECT_NE(messages.questions[0].find(reason), std::string::npos) << messages.questions[0];
        EXPECT_TRUE(dialog.filters.empty());
    }
}

TEST_P(Command, RefusesWhatTheDiskCannotHoldAndTheOpenPicture)
{
    files.files["out.asc"] = "earlier";
    target.free = 100;
    EXPECT_EQ(run(), ExportOutcome::Cancelled);
    ASSERT_EQ(messages.warnings.size(), 1u);
    EXPECT_NE(messages.warnings[0].find("100 octets de libre"), std::string::npos) << messages.warnings[0];
    target.free.reset();
    dialog.answer = "picture.png";
    EXPECT_EQ(run(), ExportOutcome::Cancelled);
    EXPECT_NE(messages.warnings.at(1).find("« picture.png » est l'image ouverte"), std::string::npos);
    EXPECT_TRUE(scan.events.empty());
    EXPECT_EQ(files.files.size(), 1u);
    EXPECT_EQ(files.files["out.asc"], "earlier");
}

TEST_P(Command, AsksBeforeAFileOfMoreThanAGigabyte)
{
    request.lines = {1e6f, 0, 1e6f, 0};
    request.fields.step = "10";  // 10^10 cells
    messages.answer = false;
    EXPECT_EQ(run(), ExportOutcome::Cancelled);
    ASSERT_EQ(messages.questions.size(), 1u);
    EXPECT_NE(messages.questions[0].find("10\u202F000\u202F000\u202F000 cellules"), std::string::npos);
    EXPECT_TRUE(scan.events.empty());
}

INSTANTIATE_TEST_SUITE_P(Exports, Command, ::testing::ValuesIn(formats),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CommandParameters, OverflowingFieldStopsBeforeTheDialogEvenWithTheFloor)
{
    FakeDesktop desktop;
    ExportRequest request{{"-1e400", "0.001 ", "50"}, {100, 0, 100, 0}, nullptr};
    EXPECT_EQ(desktop.run(format("vrml2"), request), ExportOutcome::Refused);
    request = {{"0.5", "1e300", "50"}, {1e30f, 0, 1e30f, 0}, nullptr};  // coordinates beyond the largest double
    EXPECT_EQ(desktop.run(format("ascii"), request), ExportOutcome::Refused);
    EXPECT_TRUE(desktop.dialog.filters.empty());
    EXPECT_EQ(desktop.messages.warnings.size(), 2u);
}

}  // namespace
