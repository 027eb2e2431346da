// The orvanel-batch program as users run it: its files against the desktop
// program's, its exit statuses, and what it leaves at the output path when it
// fails or is stopped.

#include "batch_process.h"
#include "scratch_directory.h"

#include "export/obj_writer.h"
#include "export/stl_writer.h"
#include "platform/qt/picture_loader.h"
#include "relief/export_command.h"
#include "relief/point_rows.h"
#include "step/step_job.h"
#include "relief/export_messages.h"
#include "support/fakes.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <csignal>
#include <regex>
#include <sstream>
#include <thread>

namespace {

namespace fs = std::filesystem;

constexpr int pictureWidth = 26;  // 416.7 units across: 8 steps of 50, where 26 * 15 would give 7
constexpr int pictureHeight = 12;

// Varied reds, with lone bright and dark pixels for the spike filter and
// half-transparent columns for the compositing over black.
void writeTestPicture(const std::string& path)
{
    QImage image(pictureWidth, pictureHeight, QImage::Format_ARGB32);
    for (int y = 0; y < pictureHeight; ++y)
        for (int x = 0; x < pictureWidth; ++x) {
            int red = (x * 37 + y * 91) % 256;
            if ((x + y) % 7 == 0)
                red = 255 - red;
            image.setPixel(x, y, qRgba(red, x * 11 % 256, y * 17 % 256, x % 5 == 0 ? 128 : 255));
        }
    ASSERT_TRUE(image.save(QString::fromStdString(path), "PNG"));
}

// The desktop program's export command over the same picture file.
std::string desktopExport(const FormatEntry& format, const FieldTexts& fields, const EdgeLines& lines,
                          const std::string& picturePath)
{
    return exportToMemory(format, {fields, lines, loadPicture(picturePath).picture});
}

// True when the process holds open a file whose path starts as `path` does:
// the picture while it is read, or a file inside a folder (the export's
// temporary file, which exists only while the walk runs).
bool holdsOpen(qint64 pid, const fs::path& path)
{
    const std::string prefix = fs::canonical(path).string();
    std::error_code error;
    for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
        std::error_code unreadable;
        const std::string target = fs::read_symlink(fd.path(), unreadable).string();
        if (!unreadable && target.compare(0, prefix.size(), prefix) == 0)
            return true;
    }
    return false;
}

struct BatchProgram : ::testing::Test {
    ScratchDirectory scratch;
    std::string picture = scratch.file("picture.png");
    fs::path outDirectory = scratch.path() / "out";

    void SetUp() override
    {
        ASSERT_FALSE(scratch.path().empty());
        fs::create_directory(outDirectory);
        writeTestPicture(picture);
    }
    std::string output(const std::string& name) const { return (outDirectory / name).string(); }
    std::vector<std::string> outputs() const { return namesIn(outDirectory); }
};

TEST_F(BatchProgram, WritesTheDesktopProgramsBytesForEveryTextFormat)
{
    // The defaults: the fields as the desktop program starts, the rectangle around the whole picture.
    const EdgeLines wholePicture{static_cast<float>(pictureWidth * 15 / 0.936), 0,
                                 static_cast<float>(pictureHeight * 15), 0};
    for (const char* name : {"ascii", "vrml1", "vrml2"}) {
        SCOPED_TRACE(name);
        const std::string defaults = output(std::string(name) + "-defaults");
        std::string errors;
        ASSERT_EQ(runBatch({name, picture, defaults}, &errors), 0) << errors;
        EXPECT_EQ(errors, "");  // no progress bar when stderr is not a terminal
        const std::string desktopDefaults = desktopExport(format(name), {"0.5", "0.001 ", "50"}, wholePicture, picture);
        EXPECT_GT(std::count(desktopDefaults.begin(), desktopDefaults.end(), '\n'), 80);
        EXPECT_TRUE(fileBytes(defaults) == desktopDefaults);

        // Every number given, the depth below the mesh formats' floor, the
        // step not dividing the rectangle, which reaches past the picture;
        // to standard output, with no temporary file.
        BatchProcess given({name, picture, "-", "--depth", "0.05", "--scale", "0.002", "--step", "9.5", "--rect",
                            "12.5,7.25,450,140.5"});
        ASSERT_EQ(given.wait(), 0) << given.errorOutput();
        const std::string desktopGiven =
            desktopExport(format(name), {"0.05", "0.002", "9.5"}, {462.5f, 12.5f, 147.75f, 7.25f}, picture);
        EXPECT_GT(std::count(desktopGiven.begin(), desktopGiven.end(), '\n'), 1000);
        EXPECT_TRUE(given.standardOutput() == desktopGiven);

        // A desktop export replayed: the fields as typed, the edge lines as the window holds them.
        BatchProcess replayed({name, picture, "-", "--as-typed", "--depth", " 0.3m", "--scale", "0,002", "--step",
                               "2.5E1", "--edges", "300.25,400.5,7.75,150"});
        ASSERT_EQ(replayed.wait(), 0);
        EXPECT_TRUE(replayed.standardOutput() ==
                    desktopExport(format(name), {" 0.3m", "0,002", "2.5E1"}, {300.25f, 400.5f, 7.75f, 150}, picture));
        EXPECT_NE(replayed.errorOutput().find("« 0,002 » : seul « 0 » est lu"), std::string::npos);
    }
    // The relief's picture beside an export, and alone on the standard output, without a display.
    ASSERT_EQ(runBatch({"stl", picture, output("relief.stl"), "--preview", output("relief.png")}), 0);
    EXPECT_EQ(QImage(QString::fromStdString(output("relief.png"))).size(), QSize(1200, 900));
    BatchProcess preview({"preview", picture, "-"});
    ASSERT_EQ(preview.wait(), 0);
    EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(preview.standardOutput()), "PNG").size(), QSize(1200, 900));
}

// With --frame vrml the one-piece formats write what they wrote before the
// part could be placed: the writers' own file of the walk's grid, in the
// VRML files' frame (STEP's timestamp aside).
TEST_F(BatchProgram, TheVrmlFrameWritesTheWalkedGridAsBefore)
{
    const ExportParameters parameters{0.001, 0.5, 50};
    const Selection whole = selectionFromLines({float(pictureWidth * 15 / 0.936), 0, pictureHeight * 15, 0});
    const HeightGrid grid = buildHeightGrid(parameters, whole, *loadPicture(picture).picture);
    const HeightGridPoints points(grid);
    const MeshOptions solid{true, 0.05, 0, 0.5};
    const auto mesh = [&](std::unique_ptr<MeshBody> body) {
        StringSink sink;
        TextOutput out(sink);
        EXPECT_TRUE(writeMesh(*body, 1, out) && out.close());
        return sink.committed;
    };
    const auto step = [&] {
        struct Bytes : StringSink {
            std::shared_ptr<std::string> kept = std::make_shared<std::string>();
            bool commit() override { return *kept = pending, true; }
        };
        auto sink = std::make_unique<Bytes>();
        const std::shared_ptr<std::string> kept = sink->kept;
        StepJob job(grid, {true, 0.05, 0, 0.5}, std::move(sink));
        job.start();
        EXPECT_TRUE(job.waitFor(std::chrono::minutes(1)));
        return *kept;
    };
    const auto undated = [](std::string text) {
        return std::regex_replace(text, std::regex("FILE_NAME\\('[^']*','[^']*'"), "FILE_NAME");
    };
    const struct {
        const char* id;
        std::string expected;
    } cases[] = {{"stl", mesh(std::make_unique<StlBody>(points, solid))},
                 {"obj", mesh(std::make_unique<ObjBody>(points, solid))},
                 {"step", step()}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        const std::string target = output(std::string("walked.") + c.id);
        std::string errors;
        ASSERT_EQ(runBatch({c.id, picture, target, "--frame", "vrml", "--solid", "--base", "0.05", "--quiet"}, &errors),
                  0)
            << errors;
        EXPECT_GT(c.expected.size(), 1000u);
        EXPECT_TRUE(undated(fileBytes(target)) == undated(c.expected));
    }
}

TEST_F(BatchProgram, HelpAndVersionGoToStandardOutput)
{
    BatchProcess help({"--help"});
    EXPECT_EQ(help.wait(), 0);
    EXPECT_EQ(help.standardOutput().rfind("Usage : orvanel-batch FORMAT IMAGE SORTIE", 0), 0u);
    EXPECT_EQ(help.errorOutput(), "");

    BatchProcess version({"--version"});
    EXPECT_EQ(version.wait(), 0);
    EXPECT_EQ(version.standardOutput(), "orvanel-batch " ORVANEL_VERSION "\n");
}

// Wrong arguments, and what a desktop user would be asked about, are refused
// (exit 2, or 1 when the disk cannot hold the file) with nothing written and
// the earlier file kept; arguments are checked before the picture is read.
TEST_F(BatchProgram, RefusesWhatWouldSurpriseTheUserAndKeepsTheEarlierFile)
{
    const std::string target = output("out.asc");
    writeFile(target, "earlier");
    const std::string pictureBytes = fileBytes(picture);
    const struct {
        std::vector<std::string> arguments;
        int status;
        const char* said;
    } cases[] = {
        {{"pdf", picture, target}, 2, "FORMAT"},
        {{"vrml1", picture}, 2, "SORTIE"},
        {{"vrml1", scratch.file("missing.png"), target, "--step", "x"}, 2, "--step"},
        {{"ascii", picture, target, "--step", "0"}, 2, "Pas en pixel"},
        {{"ascii", picture, target, "--rect", "0,0,10,10"}, 2, "aucune cellule"},
        {{"vrml1", picture, picture}, 2, "est l'image ouverte"},
        {{"vrml1", picture, target, "--scale", "1e36"}, 2, "« Largeur en m/pixel » donne des nombres trop grands"},
        {{"stl", picture, target, "--solid", "--base", "0"}, 2, "socle"},
        {{"obj", picture, target, "--frame", "vrml", "--max-triangles", "3"}, 2, "au moins 20."},
        {{"obj", picture, target, "--max-triangles", "3"}, 2, "au moins 74."},  // the outline of 26 x 12 pixels
        {{"stl", picture, target, "--width", "0"}, 2, "largeur de la pièce"},
        // Sampled too sparsely for a cell of the 26 x 12 pixels: no empty part.
        {{"3mf", picture, target, "--every", "30"}, 2, "la pièce n'aurait aucune cellule"},
        {{"stl", picture, target, "--frame", "vrml", "--every", "2"}, 2, "--every ne s'applique qu'avec --frame part"},
        {{"step", picture, target, "--frame", "part", "--tolerance", "-1"}, 2, "--tolerance"},
        {{"step", picture, target, "--frame", "vrml", "--rect", "0,0,10,10", "--force"}, 2, "aucune cellule"},
        {{"step", picture, target, "--rect", "0,0,5,5", "--force"}, 2, "aucune cellule"},  // a third of a pixel
        {{"preview", picture, target, "--rect", "0,0,10,10"}, 2, "aucune image n'est écrite"},
        {{"preview", picture, picture}, 2, "est l'image ouverte"},
        {{"stl", picture, output("new.stl"), "--preview", picture}, 2, "est l'image ouverte"},
        // The export's file, before it is written and after.
        {{"stl", picture, output("new.stl"), "--preview", outDirectory / "." / "new.stl"}, 2, "sortie de l'export"},
        {{"stl", picture, target, "--preview", target}, 2, "sortie de l'export"},
        {{"ascii", picture, target, "--step", "1", "--rect", "0,0,100000,100000"}, 1, "peut atteindre"},
        {{"ascii", picture, target, "--rect", "100000,0,500,500"}, 2, "entièrement hors de l'image"},
        {{"stl", picture, target, "--tolerance", "0.001"}, 2, "--tolerance ne s'applique pas au format « stl »"},
        {{"ascii", picture, target, "--solid"}, 2, "--solid ne s'applique pas au format « ascii »"},
        {{"preview", picture, target, "--max-triangles", "9"}, 2, "--max-triangles ne s'applique pas"},
        {{"obj", picture, target, "--base", "0.1"}, 2, "--base ne s'applique qu'avec --solid"},
        {{"step", picture, target, "--frame", "vrml", "--step", "1e-9", "--scale", "1"}, 2,
         "demande environ 18000 Po de mémoire"},
        {{"ascii", picture, target, "--step", "1e-12"}, 1, "peut atteindre plus de 18447 Po"},
    };
    for (const auto& c : cases) {
        std::string errors;
        EXPECT_EQ(runBatch(c.arguments, &errors), c.status) << c.said;
        EXPECT_NE(errors.find(c.said), std::string::npos) << errors;
    }
    EXPECT_EQ(fileBytes(target), "earlier");
    EXPECT_EQ(outputs(), std::vector<std::string>{"out.asc"});
    EXPECT_EQ(fileBytes(picture), pictureBytes);

    // With --force, no cell gives the head alone; the depth floor is said.
    std::string errors;
    ASSERT_EQ(runBatch({"ascii", picture, output("head.asc"), "--rect", "0,0,10,10", "--force"}, &errors), 0) << errors;
    EXPECT_EQ(fileBytes(output("head.asc")), "!\r\n!ASCII g\xE9n\xE9r\xE9 par l'Orvanel\r\n!\r\n!\r\n!\r\n");
    ASSERT_EQ(runBatch({"preview", picture, output("blank.png"), "--rect", "0,0,10,10", "--force"}), 0);
    EXPECT_EQ(QImage(QString::fromStdString(output("blank.png"))).size(), QSize(1200, 900));
    ASSERT_EQ(runBatch({"vrml2", picture, output("floor.wrl"), "--depth", "0.1"}, &errors), 0);
    EXPECT_EQ(errors, "orvanel-batch : profondeur 0,1 m remplacée par 0,21 m\n");
}

// The formats the program offers, as its --help lists them.
std::vector<std::string> offeredFormats()
{
    BatchProcess help({"--help"});
    help.wait();
    std::istringstream lines(help.standardOutput());
    std::vector<std::string> ids;
    bool listed = false;
    for (std::string line; std::getline(lines, line);) {
        if (listed && line.rfind("  ", 0) != 0)
            break;
        std::string id;
        std::istringstream(line) >> id;
        if (listed && id != "preview")
            ids.push_back(id);
        listed = listed || line == "FORMAT :";
    }
    return ids;
}

TEST_F(BatchProgram, HelpListsEveryFormatInTheExportMenusOrder)
{
    EXPECT_EQ(offeredFormats(), (std::vector<std::string>{"vrml1", "vrml2", "ascii", "stl", "obj", "3mf", "step"}));
}

// Grids of 10^14 and 10^31 cells are refused (no room for the file, or no
// memory for its rows or its grid) from their counts alone, in every format
// (in the walk's grid: the part's pixels are never more than the picture's):
// nothing that grows with the grid is built first.
TEST_F(BatchProgram, ImpossibleGridsAreRefusedWithinLittleMemoryInEveryFormat)
{
    constexpr std::uint64_t limit = 100 << 20;
    const std::vector<std::string> formats = offeredFormats();
    ASSERT_GE(formats.size(), 6u);
    for (const std::string& id : formats)
        for (const char* step : {"1e-5", "1e-12"}) {
            std::vector<std::string> arguments{id, picture, output("out"), "--step", step};
            if (id == "stl" || id == "obj" || id == "step")
                arguments.insert(arguments.end(), {"--frame", "vrml"});
            const MeasuredRun run = runBatchMeasured(arguments, limit);
            EXPECT_TRUE(run.status == 1 || run.status == 2) << id << " at " << step << ": " << run.status;
            EXPECT_LT(run.peakBytes, limit) << id << " at " << step;
        }
    EXPECT_TRUE(outputs().empty());
}

// A refusal is the one French line, the decoders' own words kept from the
// terminal (the reasons themselves: picture_loading_test).
TEST_F(BatchProgram, PicturesThatCannotBeUsedAreRefusedWithTheirReason)
{
    writeFile(scratch.file("notes.png"), "not a picture at all");
    BatchProcess notes({"ascii", scratch.file("notes.png"), output("out.asc")});
    EXPECT_EQ(notes.wait(), 3);
    EXPECT_EQ(notes.errorOutput(),
              "orvanel-batch : l'image « " + scratch.file("notes.png") + " » n'a pas pu être lue : format d'image inconnu.\n");

    // The shell makes the name's bytes: Qt's process arguments are text.
    const std::string latin1 = scratch.file("caf\xe9.png");
    fs::copy_file(picture, latin1);
    BatchProcess named({"-c", "exec \"$0\" ascii \"$(printf %b \"$1\")\" \"$2\"", ORVANEL_BATCH_PROGRAM,
                        scratch.file("caf\\xe9.png"), output("out.asc")},
                       {}, "/bin/bash");
    EXPECT_EQ(named.wait(), 2);
    EXPECT_EQ(named.errorOutput(), "orvanel-batch : l'argument n° 2 n'est pas un texte UTF-8 valide : refusé plutôt que "
                                   "lu comme un autre nom.\n");
    EXPECT_TRUE(outputs().empty());
    fs::remove(latin1);  // the temporary folder's own removal cannot name it
}

// The one French line, the system's words kept from the terminal.
TEST_F(BatchProgram, UnwritableOutputExitsWithOneAndNamesThePathAndTheReason)
{
    // Permissions do not stop root: a missing folder, a folder in the way, a full device and a size limit do.
    const std::string missing = output("missing/out.asc"), folder = output("folder"), limited = output("relief.png");
    const std::string missing3mf = output("missing/out.3mf"), limited3mf = output("relief.3mf");
    writeFile(limited3mf, "earlier");
    fs::create_directory(folder);
    writeFile(limited, "earlier");
    const struct {
        std::vector<std::string> arguments;
        const char* standardOutput;
        std::optional<rlim_t> sizeLimit;
        std::string named, reason;
    } cases[] = {
        {{"ascii", picture, missing}, nullptr, {}, missing,
         "Le dossier « " + output("missing") + " » n'est pas accessible : Aucun fichier ou dossier de ce type"},
        {{"ascii", picture, folder}, nullptr, {}, folder, "La cible est un dossier, pas un fichier ordinaire"},
        {{"ascii", picture, "-", "--step", "5"}, "/dev/full", {}, "sortie standard", "Aucun espace disponible sur le périphérique"},
        {{"preview", picture, "-"}, "/dev/full", {}, "sortie standard", "Aucun espace disponible sur le périphérique"},
        {{"preview", picture, limited}, nullptr, 1000, limited, "Fichier trop volumineux"},
        {{"3mf", picture, missing3mf}, nullptr, {}, missing3mf,
         "Le dossier « " + output("missing") + " » n'est pas accessible : Aucun fichier ou dossier de ce type"},
        {{"3mf", picture, limited3mf, "--solid"}, nullptr, 1000, limited3mf, "Fichier trop volumineux"},
        {{"3mf", picture, "-"}, "/dev/full", {}, "sortie standard", "Aucun espace disponible sur le périphérique"},
    };
    for (const auto& c : cases) {
        BatchProcess batch(c.arguments, c.sizeLimit, ORVANEL_BATCH_PROGRAM, c.standardOutput);
        EXPECT_EQ(batch.wait(), 1) << c.named;
        EXPECT_EQ(batch.errorOutput(), "orvanel-batch : " + writeFailureMessage(c.named, c.reason) + "\n");
    }
    EXPECT_EQ(outputs(), (std::vector<std::string>{"folder", "relief.3mf", "relief.png"}));
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(fileBytes(limited), "earlier");
    EXPECT_EQ(fileBytes(limited3mf), "earlier");

    // A standard output closed by the caller: no file opened later takes its place.
    BatchProcess closed({"-c", "exec \"$0\" ascii \"$1\" - >&-", ORVANEL_BATCH_PROGRAM, picture}, {}, "/bin/bash");
    EXPECT_EQ(closed.wait(), 1);
    EXPECT_NE(closed.errorOutput().find("la sortie standard est fermée"), std::string::npos) << closed.errorOutput();
    EXPECT_EQ(fileBytes(picture).substr(1, 3), "PNG");
}

// True when every number of a text file reads as a finite number of the
// kind its readers hold (single precision for VRML, double for the point
// cloud, whose decimal commas are read as points).
bool numbersAreFinite(std::string text, bool singlePrecision)
{
    std::replace(text.begin(), text.end(), ',', '.');
    for (const char* p = text.c_str(); *p; ++p) {
        if (!std::isdigit(static_cast<unsigned char>(*p)) || (p > text.c_str() && std::isalnum(p[-1])))
            continue;
        char* end = nullptr;
        const double value = singlePrecision ? std::strtof(p, &end) : std::strtod(p, &end);
        if (!std::isfinite(value))
            return false;
        p = end - 1;
    }
    return true;
}

// Numbers that no reader could use are refused (exit 2, the field named) by
// the formats whose files could not hold them; every other format writes a
// file its readers take.
TEST_F(BatchProgram, ExtremeNumbersAreRefusedOrGiveFilesReadersTake)
{
    const struct {
        std::vector<std::string> option;
        const char* field;
        std::vector<std::string> refusing;
    } cases[] = {
        {{"--depth", "1e308"}, "Profondeur maxi", {"vrml1", "vrml2", "stl", "obj", "3mf", "step"}},
        {{"--depth", "-1e308"}, "Profondeur maxi", {"stl", "obj", "3mf", "step"}},  // VRML: the floor raises it
        {{"--depth", "1e-310"}, "Profondeur maxi", {"stl", "obj", "3mf", "step"}},
        {{"--depth", "-0"}, "", {}},
        {{"--scale", "1e308"}, "argeur en m/pixel", {"vrml1", "vrml2", "ascii", "stl", "obj", "3mf", "step"}},
        {{"--scale", "1e-310"}, "argeur en m/pixel", {"stl", "obj", "3mf", "step"}},
        {{"--scale", "1e-100"}, "argeur en m/pixel", {"stl", "obj", "3mf", "step"}},
        {{"--scale", "0"}, "argeur en m/pixel", {"stl", "obj", "3mf", "step"}},
        {{"--scale", "-0"}, "argeur en m/pixel", {"stl", "obj", "3mf", "step"}},
        {{"--solid", "--base", "1e308"}, "socle", {"stl", "obj", "3mf", "step"}},
        {{"--solid", "--base", "1e300"}, "socle", {"stl", "obj", "3mf", "step"}},
        {{"--solid", "--base", "4e-320"}, "socle", {"stl", "obj", "3mf", "step"}},
        {{"--tolerance", "1e308"}, "Tolérance", {"step"}},
    };
    for (const auto& c : cases)
        for (const char* id : {"vrml1", "vrml2", "ascii", "stl", "obj", "3mf", "step"}) {
            const std::string name(id), target = output("extreme." + name);
            const bool meshOption = c.option[0] == "--solid" || c.option[0] == "--tolerance";
            if (meshOption && (name == "vrml1" || name == "vrml2" || name == "ascii" ||
                               (c.option[0] == "--tolerance" && name != "step")))
                continue;  // options a format does not take are refused as such
            SCOPED_TRACE(name + " " + c.option[0] + " " + c.option.back());
            std::vector<std::string> arguments{name, picture, target, "--quiet", "--step", "100"};
            arguments.insert(arguments.end(), c.option.begin(), c.option.end());
            std::string errors;
            const int status = runBatch(arguments, &errors);
            if (std::find(c.refusing.begin(), c.refusing.end(), name) != c.refusing.end()) {
                EXPECT_EQ(status, 2);
                EXPECT_NE(errors.find(c.field), std::string::npos) << errors;
                EXPECT_FALSE(fs::exists(target));
                continue;
            }
            ASSERT_EQ(status, 0) << errors;
            const std::string bytes = fileBytes(target);
            if (name == "stl" || name == "obj" || name == "3mf")
                EXPECT_EQ(std::system(("assimp info '" + target + "' >/dev/null 2>&1").c_str()), 0);
            else if (name == "step")
                EXPECT_EQ(bytes.rfind("ISO-10303-21;", 0), 0u);
            else
                EXPECT_TRUE(numbersAreFinite(bytes, name != "ascii"));
            fs::remove(target);
        }
}

// The limits of a mesh hold on the file written, and the report says what
// the file is: its triangle count (walls and back included), the error it
// measured within the bound asked, a solid closed as admesh finds it.
TEST_F(BatchProgram, MeshLimitsHoldOnTheFileAndItsReportSaysSo)
{
    const struct {
        std::vector<std::string> limits;
        std::uint32_t maxTriangles;
        double maxError;
    } cases[] = {
        {{"--max-triangles", "600"}, 600, 0},
        {{"--max-error", "50"}, 0, 50},
        {{"--max-triangles", "800", "--max-error", "20"}, 800, 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.limits[0]);
        const std::string stl = output("limited.stl"), json = output("limited.json");
        std::vector<std::string> arguments{"stl", picture, stl, "--solid", "--step", "10", "--report", json};
        arguments.insert(arguments.end(), c.limits.begin(), c.limits.end());
        std::string errors;
        ASSERT_EQ(runBatch(arguments, &errors), 0) << errors;
        const std::string bytes = fileBytes(stl), report = fileBytes(json);
        std::uint32_t facets = 0;
        std::memcpy(&facets, bytes.data() + 80, 4);
        EXPECT_EQ(report.find("{\"triangles\": " + std::to_string(facets) + ", "), 0u) << report;
        if (c.maxTriangles) {
            EXPECT_LE(facets, c.maxTriangles);
        }
        const double measured = std::strtod(report.c_str() + report.find("max_error_mm") + 15, nullptr);
        if (c.maxError && !c.maxTriangles) {  // with both, the budget may stop it first
            EXPECT_LE(measured, c.maxError);
        }
        EXPECT_NE(report.find("\"closed\": true"), std::string::npos);
        EXPECT_NE(errors.find(" triangles · écart maxi "), std::string::npos) << errors;
        FILE* admesh = ::popen(("admesh '" + stl + "' 2>&1").c_str(), "r");
        std::string said(1 << 16, '\0');
        said.resize(std::fread(said.data(), 1, said.size(), admesh));
        ::pclose(admesh);
        for (const char* none : {"Number of parts       :     1", "Edges fixed           :     0",
                                 "Facets reversed       :     0", "Backwards edges       :     0",
                                 "Degenerate facets     :     0"})
            EXPECT_NE(said.find(none), std::string::npos) << none << "\n" << said;
    }
}

// The stop signals and the statuses they end the program with.
const struct Stop {
    int signal;
    int status;
} stops[] = {{SIGINT, 130}, {SIGTERM, 143}, {SIGHUP, 129}, {SIGQUIT, 131}};

TEST_F(BatchProgram, StopSignalDuringTheWalkLeavesTheEarlierFileIntact)
{
    for (const Stop stop : stops) {
        const std::string target = output("out.wrl");
        writeFile(target, "earlier");
        // Ten thousand million cells: it runs until stopped.
        BatchProcess batch({"vrml2", picture, target, "--step", "1", "--rect", "0,0,100000,100000", "--force"});
        for (int tries = 0; tries < 4000 && !holdsOpen(batch.pid(), outDirectory); ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_TRUE(holdsOpen(batch.pid(), outDirectory)) << "the walk never started";
        kill(static_cast<pid_t>(batch.pid()), stop.signal);
        EXPECT_EQ(batch.wait(), stop.status);
        EXPECT_EQ(fileBytes(target), "earlier");
        EXPECT_EQ(outputs(), std::vector<std::string>{"out.wrl"});
    }
}

// The picture is open only while it is read.
TEST_F(BatchProgram, StopSignalWhileThePictureIsReadEndsTheProgram)
{
    const std::string large = scratch.file("large.png");
    QImage image(6000, 6000, QImage::Format_RGB32);  // a quarter of a second to read
    image.fill(qRgb(100, 150, 200));
    ASSERT_TRUE(image.save(QString::fromStdString(large)));
    for (const Stop stop : stops) {
        BatchProcess batch({"ascii", large, output("out.asc")});
        const auto pid = static_cast<pid_t>(batch.pid());
        for (int tries = 0; tries < 20000 && !holdsOpen(pid, large); ++tries)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        ASSERT_TRUE(holdsOpen(pid, large)) << "the picture was never seen open";
        kill(pid, stop.signal);
        EXPECT_EQ(batch.wait(), stop.status);
        EXPECT_TRUE(outputs().empty());
    }
}

}  // namespace
