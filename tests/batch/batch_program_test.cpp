// The orvanel-batch program as users run it: its files against the desktop
// program's, its exit statuses, and what it leaves at the output path when it
// fails or is stopped.

#include "batch_process.h"
#include "scratch_directory.h"

#include "platform/qt/picture_loader.h"
#include "relief/export_command.h"
#include "support/fakes.h"

#include <QImage>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
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

TEST_F(BatchProgram, WritesTheDesktopProgramsBytesForEveryFormat)
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
    // The relief's picture alone, without a display.
    ASSERT_EQ(runBatch({"preview", picture, output("relief.png")}), 0);
    EXPECT_EQ(QImage(QString::fromStdString(output("relief.png"))).size(), QSize(1200, 900));
    std::string errors;
    EXPECT_EQ(runBatch({"ascii", picture, "-", "--step", "5"}, &errors, "/dev/full"), 1);
    EXPECT_NE(errors.find("Aucun espace disponible sur le périphérique"), std::string::npos) << errors;
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
        {{"obj", picture, target, "--max-triangles", "3"}, 2, "au moins 20."},
        {{"step", picture, target, "--rect", "0,0,10,10", "--force"}, 2, "aucune cellule"},
        {{"ascii", picture, target, "--step", "1", "--rect", "0,0,100000,100000"}, 1, "peut atteindre"},
        {{"step", picture, target, "--step", "1e-12"}, 2, "La grille de plus de 18\u202F446\u202F744"},
        {{"ascii", picture, target, "--step", "1e-12"}, 1, "peut atteindre plus de 18447 Po"},
        {{"stl", picture, "-", "--step", "1e-12"}, 2, "Les rangées de"},
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

// Grids of 10^14 and 10^31 cells are refused (no room for the file, or no
// memory for its rows or its grid) from their counts alone, in every format:
// nothing that grows with the grid is built first.
TEST_F(BatchProgram, ImpossibleGridsAreRefusedWithinLittleMemoryInEveryFormat)
{
    constexpr std::uint64_t limit = 100 << 20;
    const std::vector<std::string> formats = offeredFormats();
    ASSERT_GE(formats.size(), 6u);
    for (const std::string& id : formats)
        for (const char* step : {"1e-5", "1e-12"}) {
            const MeasuredRun run = runBatchMeasured({id, picture, output("out"), "--step", step}, limit);
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

TEST_F(BatchProgram, UnwritableOutputExitsWithOneAndNamesThePathAndTheReason)
{
    // Permissions do not stop root: a missing folder and a folder in the way do.
    const std::string inMissingFolder = output("missing/out.asc");
    const std::string folder = output("folder");
    fs::create_directory(folder);
    for (const std::string& target : {inMissingFolder, folder}) {
        std::string errors;
        EXPECT_EQ(runBatch({"ascii", picture, target}, &errors), 1);
        const std::string named = "« " + target + " » n'a pas pu être écrit : ";
        const std::size_t at = errors.find(named);
        ASSERT_NE(at, std::string::npos) << errors;
        EXPECT_NE(errors[at + named.size()], '\n') << "no reason given: " << errors;
    }
    EXPECT_EQ(outputs(), std::vector<std::string>{"folder"});
    EXPECT_TRUE(fs::is_directory(folder));
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
