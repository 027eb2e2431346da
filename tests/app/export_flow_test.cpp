// One export command from the menu to its last message, over facilities
// answered in memory, for each of the text exports.

#include "desktop_fakes.h"
#include "app/export_progress_bar.h"
#include "platform/window_unit.h"
#include "step/step_format.h"

#include <QProgressBar>
#include <QStatusBar>

#include <set>

#include <gtest/gtest.h>

namespace {

const char* const textFormats[] = {"ascii", "vrml1", "vrml2"};

ExportRequest ordinaryRequest()
{
    return {{"0.5", "0.001 ", "50"}, {100, 0, 100, 0}, std::make_shared<const Picture>(uniformPicture(8, 8, 0x80))};
}

// What may stop the command before the file: refusals before the Save
// dialog, the question when the result may surprise (every reason at once,
// answered "Annuler"), the room on the disk and the open picture after it,
// then the question about a file over 1 GB; a cancelled Save dialog ends
// quietly. Ordinary input asks nothing.
TEST(ExportCommand, StopsBeforeTheFileSayingNothingWasWrittenOrWritesWithoutAQuestion)
{
    enum Ends { Written, Refused, AskedFirst, WarnedAfterDialog, AskedAfterDialog, DialogCancelled };
    const struct {
        FieldTexts fields;
        EdgeLines lines;
        Ends ends;
        std::vector<const char*> says;
        bool picture = true;
        std::optional<std::uint64_t> free = std::nullopt;
        const char* path = "out.asc";
    } cases[] = {
        {{"0.5", "0.001 ", "50"}, {100, 0, 100, 0}, Written, {}},
        {{" 0.5 ", "1 000", "5e1"}, {100, 0, 100, 0}, Written, {}},
        {{"0.5", "0,5", "50"}, {100, 0, 100, 0}, AskedFirst,
         {"Le champ « Largeur en m/pixel » contient « 0,5 » : seul « 0 » est lu, le séparateur décimal est le point."}},
        {{"abc", "0.001", "2m"}, {100, 0, 100, 0}, AskedFirst,
         {"« Profondeur maxi en m » contient « abc » : aucun nombre", "« Pas en pixel » contient « 2m » : seul « 2 » est lu."}},
        {{"0.5", "0.001", "50"}, {40, 0, 100, 0}, AskedFirst,
         {"La sélection ne contient aucune cellule : le fichier n'aura que son en-tête."}},
        {{"0.5", "0.001", "50"}, {100, 0, 100, 0}, AskedFirst, {"Aucune image n'est chargée : le relief sera plat."}, false},
        // The 8 x 8 picture ends at 128.2 units across.
        {{"0.5", "0.001", "50"}, {229, 129, 100, 0}, AskedFirst,
         {"La sélection est entièrement hors de l'image : le relief sera plat."}},
        {{"0.5", "0.001", "0"}, {100, 0, 100, 0}, Refused, {"Pas en pixel"}},
        {{"0.5", "0.001", "abc"}, {100, 0, 100, 0}, Refused, {"Pas en pixel"}},
        {{"0.5", "0.001", "1e-20"}, {100, 0, 100, 0}, Refused, {"Pas en pixel"}},
        // Even where the depth floor would raise it.
        {{"-1e400", "0.001 ", "50"}, {100, 0, 100, 0}, Refused, {"Profondeur maxi en m"}},
        // Coordinates beyond the largest double.
        {{"0.5", "1e300", "1e28"}, {1e30f, 0, 1e30f, 0}, Refused, {"largeur en m/pixel donne des coordonnées trop grandes"}},
        {{"0.5", "0.001 ", "50"}, {100, 0, 100, 0}, WarnedAfterDialog, {"100 octets de libre"}, true, 100},
        {{"0.5", "0.001 ", "50"}, {100, 0, 100, 0}, WarnedAfterDialog, {"« picture.png » est l'image ouverte"}, true,
         std::nullopt, "picture.png"},
        {{"0.5", "0.001 ", "10"}, {1e6f, 0, 1e6f, 0}, AskedAfterDialog, {"10\u202F000\u202F000\u202F000 cellules"}},
        {{"0.5", "0.001 ", "50"}, {100, 0, 100, 0}, DialogCancelled, {}, true, std::nullopt, nullptr},
    };
    for (const char* id : textFormats)
        for (const auto& c : cases) {
            FakeDesktop d;
            d.files.files["out.asc"] = "earlier";
            d.messages.answer = false;
            d.target.free = c.free;
            d.dialog.answer = c.path ? std::optional<std::string>(c.path) : std::nullopt;
            const ExportRequest request{c.fields, c.lines, c.picture ? ordinaryRequest().picture : nullptr};
            const ExportOutcome outcome = d.run(format(id), request);
            SCOPED_TRACE(std::string(id) + " " + c.fields.depth + "|" + c.fields.scale + "|" + c.fields.step);
            if (c.ends == Written) {
                EXPECT_EQ(outcome, ExportOutcome::Written);
                EXPECT_TRUE(d.messages.questions.empty() && d.messages.warnings.empty());
                EXPECT_EQ(d.messages.information_, std::vector<std::string>{"Création du fichier terminée."});
                // "Scan" beside the main window, tops level, while the file is written.
                EXPECT_EQ(d.scan.events, (std::vector<std::string>{"move", "show", "hide"}));
                EXPECT_TRUE(d.scan.left == 1500 + 10800 && d.scan.top == 900);
                EXPECT_EQ(d.scan.dots, (std::vector<std::pair<double, double>>{{0, 0}, {50, 0}, {0, 50}, {50, 50}}));
                // A yield per cell, and more while a band is awaited.
                EXPECT_GE(d.events.yields, 4);
                continue;
            }
            const bool asked = c.ends == AskedFirst || c.ends == AskedAfterDialog;
            EXPECT_EQ(outcome, c.ends == Refused ? ExportOutcome::Refused : ExportOutcome::Cancelled);
            // Past the first refusals, the status area says nothing was written.
            EXPECT_EQ(d.progress.answer, c.ends == Refused ? std::nullopt
                                                           : std::optional<std::string>(
                                                                 "Export annulé : aucun fichier n'a été écrit"));
            const std::vector<std::string>& shown = asked ? d.messages.questions : d.messages.warnings;
            EXPECT_EQ(d.messages.questions.size() + d.messages.warnings.size(), c.ends == DialogCancelled ? 0u : 1u);
            for (const char* text : c.says)
                EXPECT_NE(shown.at(0).find(text), std::string::npos) << shown[0];
            EXPECT_EQ(d.dialog.filters.size(), c.ends == Refused || c.ends == AskedFirst ? 0u : 1u);
            EXPECT_TRUE(d.scan.events.empty());
            EXPECT_EQ(d.files.files, (std::map<std::string, std::string>{{"out.asc", "earlier"}}));
        }
}

// After "Exporter quand même", no cell: the head alone, and no walk over the
// rows of a rectangle collapsed to a tall line.
TEST(ExportCommand, ZeroCellsWriteTheHeadAlone)
{
    const std::pair<const char*, EdgeLines> noCells[] = {{"-50", {100, 0, 100, 0}},
                                                         {"0.0000000001", {3000, 3000, 8000, 0}}};
    for (const auto& [step, lines] : noCells) {
        FakeDesktop d;
        ExportRequest request = ordinaryRequest();
        request.fields.step = step;
        request.lines = lines;
        EXPECT_EQ(d.run(format("ascii"), request), ExportOutcome::Written);
        EXPECT_EQ(d.messages.questions.size(), 1u);
        EXPECT_EQ(d.written(), "!\r\n!ASCII g\xE9n\xE9r\xE9 par l'Orvanel\r\n!\r\n!\r\n!\r\n") << step;
        EXPECT_TRUE(d.scan.dots.empty());
        EXPECT_EQ(d.events.yields, 0);
    }
}

// The bar follows the walk a cell at a time; the status area then says how
// the export ended: the file's name and size, or that nothing was written.
TEST(ExportCommand, BarFollowsTheWalkAndTheAnswerSaysHowItEnded)
{
    for (const bool stopped : {false, true}) {
        FakeDesktop d;
        d.dialog.answer = "exports/relief.asc";
        d.events.onYield = [&](int) { return !stopped || d.scan.dots.size() < 2; };
        d.run(format("ascii"), ordinaryRequest());
        if (stopped) {
            EXPECT_LT(d.progress.shares.back(), 1);
            EXPECT_EQ(d.progress.answer, "Export annulé : aucun fichier n'a été écrit");
            EXPECT_TRUE(d.files.files.empty() && d.messages.information_.empty());
        } else {
            EXPECT_EQ(d.progress.shares, (std::vector<double>{0, 0.25, 0.5, 0.75, 1}));
            EXPECT_EQ(d.progress.answer, "Fichier écrit : relief.asc, " + std::to_string(d.written().size()) + " octets");
        }
    }
}

// A placed part's bar and "Scan" follow its blocks of pixels (2 x 2 here),
// each dot at its block's top-left corner on the picture.
TEST(ExportCommand, BarAndScanFollowThePlacedPartsPixels)
{
    FakeDesktop d;
    d.dialog.answer = "relief.stl";
    d.options.chosen.solid = true;
    d.options.chosen.widthMm = 40, d.options.chosen.reliefMm = 5, d.options.chosen.baseMm = 1;
    d.options.chosen.every = 2;
    const auto picture = std::make_shared<const Picture>(uniformPicture(8, 4, 0x808080));
    const EdgeLines wholePicture{float(8 * window_unit::perPixelAcross), 0, 60, 0};
    ASSERT_EQ(d.run(format("stl"), {{"0.5", "0.001", "50"}, wholePicture, picture}), ExportOutcome::Written);
    std::vector<std::pair<double, double>> corners;
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 4; ++column)
            corners.emplace_back(double(2 * column) * window_unit::perPixelAcross, double(2 * row) * 15);
    EXPECT_EQ(d.scan.dots, corners);
    EXPECT_EQ(d.progress.shares, (std::vector<double>{0, 0.125, 0.25, 0.375, 0.5, 0.625, 0.75, 0.875, 1}));
}

// The window's bar whenever the export lets events run: the percentage of
// the four cells walked so far (the dots "Scan" has) and how to stop;
// hidden again once the export ends.
TEST(ExportCommand, WindowBarShowsThePercentageWalked)
{
    QStatusBar status;
    status.show();
    ExportProgressBar bar(&status);
    FakeDesktop d;
    DesktopExportFacilities f{d.dialog,   d.files,  d.target,  d.frame, d.scan, bar,
                              d.messages, d.events, d.options, d.work,  "picture.png"};
    std::set<QString> shown;
    d.events.onYield = [&](int) {
        EXPECT_TRUE(bar.isVisible() && bar.note().contains(QStringLiteral("Échap pour annuler")));
        EXPECT_EQ(bar.bar()->text(), QStringLiteral("%1\u00A0%").arg(25 * d.scan.dots.size()));
        shown.insert(bar.bar()->text());
        return true;
    };
    EXPECT_EQ(runDesktopExport(format("ascii"), ordinaryRequest(), f), ExportOutcome::Written);
    EXPECT_GE(shown.size(), 2u);
    EXPECT_FALSE(bar.isVisible());
}

// STEP makes nothing of a selection without a cell: refused at once,
// before the questions, its options or the Save dialog.
TEST(ExportCommand, StepRefusesASelectionWithoutACellBeforeAnyQuestion)
{
    FormatRegistry withStep;
    addStepFormat(withStep);
    FakeDesktop d;
    ExportRequest request = ordinaryRequest();
    request.fields.depth = "0,5";  // a field that would be asked about
    request.lines = {40, 0, 100, 0};
    EXPECT_EQ(d.run(*withStep.find("step"), request), ExportOutcome::Refused);
    EXPECT_EQ(d.messages.warnings, std::vector<std::string>{"La sélection ne contient aucune cellule : une surface "
                                                            "STEP en demande au moins une.\nL'export est annulé : "
                                                            "aucun fichier n'a été écrit."});
    EXPECT_TRUE(d.messages.questions.empty());
    EXPECT_EQ(d.options.asked, 0);
    EXPECT_TRUE(d.dialog.filters.empty());
}

// A file that cannot be opened, or a write that fails: the path and the
// system's reason told, the earlier file kept, "Scan" hidden again.
TEST(ExportCommand, FailureToWriteKeepsTheEarlierFileAndSaysWhy)
{
    for (const bool atOpen : {true, false}) {
        FakeDesktop d;
        d.files.files["out.asc"] = "earlier";
        d.files.openError = atOpen ? "Permission denied" : "";
        d.files.failWrites = !atOpen;
        EXPECT_EQ(d.run(format("ascii"), ordinaryRequest()), ExportOutcome::Failed);
        ASSERT_EQ(d.messages.warnings.size(), 1u);
        EXPECT_NE(d.messages.warnings[0].find("« out.asc »"), std::string::npos);
        EXPECT_NE(d.messages.warnings[0].find(atOpen ? "Permission denied" : "No space left on device"), std::string::npos);
        EXPECT_TRUE(d.messages.information_.empty());
        EXPECT_EQ(d.files.files["out.asc"], "earlier");
        EXPECT_EQ(d.scan.events.back(), "hide");
    }
}

// A format that finds, once the walk is done, that the file cannot be made
// as asked (a STEP block whose surface crosses its base): its own French
// message shown as it stands, the earlier file kept, no completion message.
TEST(ExportCommand, RefusalAfterTheWalkShowsTheFormatsReason)
{
    struct RefusingWriter : ReliefWriter, CellConsumer {
        bool begin() override { return true; }
        CellConsumer& cells() override { return *this; }
        bool cell(const ReliefCell&) override { return true; }
        FinishResult finish(LongWork&) override { return FinishResult::Refused; }
        std::string failureReason() const override { return "Le socle est trop mince pour ce relief."; }
    };
    FormatEntry refusing = format("ascii");
    refusing.makeWriter = [](const ExportJob&, const FormatOptions&, TextOutput&) {
        return std::make_unique<RefusingWriter>();
    };
    FakeDesktop d;
    d.files.files["out.asc"] = "earlier";
    EXPECT_EQ(d.run(refusing, ordinaryRequest()), ExportOutcome::Refused);
    EXPECT_EQ(d.messages.warnings, std::vector<std::string>{"Le socle est trop mince pour ce relief."});
    EXPECT_TRUE(d.messages.information_.empty());
    EXPECT_EQ(d.files.files, (std::map<std::string, std::string>{{"out.asc", "earlier"}}));
    EXPECT_EQ(d.scan.events.back(), "hide");
}

}  // namespace
