#include "step/step_format.h"
#include "step/step_job.h"
#include "support/part_pictures.h"

#include <BRepBndLib.hxx>
#include <Bnd_Box.hxx>
#include <BRepCheck_Analyzer.hxx>
#include <BRepGProp.hxx>
#include <BRep_Tool.hxx>
#include <GProp_GProps.hxx>
#include <Geom_BSplineSurface.hxx>
#include <STEPControl_Reader.hxx>
#include <TColStd_SequenceOfAsciiString.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Face.hxx>
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <regex>
#include <sstream>
#include <thread>

namespace {

// A sink whose bytes outlive it, since an abandoned worker drops it late.
struct Outcome {
    std::string written;
    bool committed = false;
};
struct RecordingSink : ByteSink {
    std::shared_ptr<Outcome> outcome = std::make_shared<Outcome>();
    bool write(std::string_view bytes) override { return outcome->written.append(bytes), true; }
    bool commit() override { return outcome->committed = true; }
    std::string errorText() const override { return {}; }
};

// Positions made as the walk makes them, by repeated additions, then scaled.
std::vector<double> walked(double start, double step, int count, double scale)
{
    std::vector<double> positions;
    for (double p = start; int(positions.size()) < count; p += step)
        positions.push_back(p * scale);
    return positions;
}

HeightGrid grid(int columns, int rows, double (*depth)(double x, double y))
{
    HeightGrid g{walked(3.0, 0.7, columns, 0.01), walked(2.0, 0.7, rows, 0.01), {}};
    for (double y : g.ys)
        for (double x : g.xs)
            g.depths.push_back(depth(x, y));
    return g;
}
double noisy(double x, double y) { return 0.25 + 0.2 * std::sin(x * 937.0 + std::cos(y * 731.0) * 5.0); }
double smooth(double x, double y) { return 0.3 * std::exp(-std::pow((x - 0.15) / 0.1, 2) - std::pow((y - 0.12) / 0.08, 2)) + 0.1 * x; }
// A photograph's relief: broad shading and a grain of 4 % of the depth.
double shadedGrain(double x, double y)
{
    const auto grain =
        std::uint32_t(std::lround(x * 7e4)) * 73856093u ^ std::uint32_t(std::lround(y * 7e4)) * 19349663u;
    return 0.5 * std::clamp(0.5 + 0.3 * std::sin(20 * x) * std::cos(20 * y) +
                                0.04 * (double((grain ^ grain >> 13) * 0x5bd1e995u >> 8 & 0xffff) / 65535 - 0.5),
                            0.0, 1.0);
}

// `done`: the share of the work the job said it had done, at its end.
StepResult runJob(const HeightGrid& g, const StepOptions& options, std::shared_ptr<Outcome>& outcome, double& done)
{
    auto sink = std::make_unique<RecordingSink>();
    outcome = sink->outcome;
    StepJob job(g, options, std::move(sink));
    job.start();
    EXPECT_TRUE(job.waitFor(std::chrono::minutes(2)));
    done = job.progress().done();
    return job.result();
}

struct ReadBack {
    TopoDS_Shape shape;
    std::string lengthUnit;
    Handle(Geom_BSplineSurface) surface;  // of the face that is no plane
    int faces = 0, solids = 0;
};

ReadBack readBack(const std::string& bytes)
{
    STEPControl_Reader reader;
    std::istringstream in(bytes);
    EXPECT_EQ(reader.ReadStream("relief.step", in), IFSelect_RetDone);
    TColStd_SequenceOfAsciiString lengths, angles, solidAngles;
    reader.FileUnits(lengths, angles, solidAngles);
    reader.TransferRoots();
    ReadBack back{reader.OneShape(), lengths.IsEmpty() ? "" : lengths.First().ToCString(), {}, 0, 0};
    for (TopExp_Explorer e(back.shape, TopAbs_SOLID); e.More(); e.Next())
        ++back.solids;
    for (TopExp_Explorer e(back.shape, TopAbs_FACE); e.More(); e.Next()) {
        ++back.faces;
        auto surface = Handle(Geom_BSplineSurface)::DownCast(BRep_Tool::Surface(TopoDS::Face(e.Current())));
        if (!surface.IsNull())
            back.surface = surface;
    }
    return back;
}

// Largest |S(x, y) - depth| in metres, the file's millimetres brought back.
double deviation(const Geom_BSplineSurface& surface, const HeightGrid& g)
{
    double largest = 0;
    for (std::size_t r = 0; r < g.ys.size(); ++r)
        for (std::size_t c = 0; c < g.xs.size(); ++c)
            largest = std::max(largest, std::abs(surface.Value(g.xs[c] * 1000, g.ys[r] * 1000).Z() / 1000 - g.depth(r, c)));
    return largest;
}

// How far, in metres, the surface leaves the range of `depths` at the grid's
// points, the cells' centres and the middles of their sides, each point
// evaluated by OpenCASCADE on its own.
double overshoot(const Geom_BSplineSurface& surface, const std::vector<double>& xs, const std::vector<double>& ys,
                 double lowest, double highest)
{
    const auto withHalves = [](const std::vector<double>& p) {
        std::vector<double> all;
        for (std::size_t k = 0; k + 1 < p.size(); ++k)
            all.insert(all.end(), {p[k], (p[k] + p[k + 1]) / 2});
        all.push_back(p.back());
        return all;
    };
    double beyond = 0;
    for (double y : withHalves(ys))
        for (double x : withHalves(xs)) {
            const double z = surface.Value(x * 1000, y * 1000).Z() / 1000;
            beyond = std::max({beyond, lowest - z, z - highest});
        }
    return beyond;
}

// A valid closed solid holding the block between the relief and the back
// plane, its volume by the trapezoid rule.
void expectValidBlock(const TopoDS_Shape& shape, const HeightGrid& g, double backZ)
{
    EXPECT_TRUE(BRepCheck_Analyzer(shape).IsValid());
    for (TopExp_Explorer e(shape, TopAbs_SHELL); e.More(); e.Next())
        EXPECT_TRUE(BRep_Tool::IsClosed(e.Current()));
    double volume = 0;
    for (std::size_t r = 0; r + 1 < g.ys.size(); ++r)
        for (std::size_t c = 0; c + 1 < g.xs.size(); ++c) {
            const double meanDepth = (g.depth(r, c) + g.depth(r, c + 1) + g.depth(r + 1, c) + g.depth(r + 1, c + 1)) / 4;
            volume += (backZ - meanDepth) * (g.xs[c + 1] - g.xs[c]) * (g.ys[r + 1] - g.ys[r]);
        }
    GProp_GProps properties;
    BRepGProp::VolumeProperties(shape, properties);
    EXPECT_NEAR(properties.Mass() / 1e9, volume, 0.005 * volume);
}

} // namespace

// A face or a solid through every point, in millimetres, on any shape of
// grid; an approximation within its tolerance at the points and between
// them, or the exact surface when it has no fewer poles or swings beyond the
// relief; the swing between the points measured as OpenCASCADE evaluates
// the surface; grids that make no surface refused with nothing written.
TEST(StepFiles, FaceOrSolidThroughEveryPointOrWithinTheTolerance)
{
    const StepOptions face{false, 0.05, 0, 0.5}, solid{true, 0.05, 0, 0.5};
    const struct {
        const char* name;
        HeightGrid g;
        StepOptions options;
        StepStatus status;
        bool approximated = false;
        bool toleranceMissed = false;
    } cases[] = {
        {"one cell", grid(2, 2, noisy), face, StepStatus::Written},
        {"noisy 61 x 41", grid(61, 41, noisy), face, StepStatus::Written},
        {"one row of cells", grid(300, 2, noisy), face, StepStatus::Written},
        {"one column of cells", grid(2, 300, smooth), solid, StepStatus::Written},
        {"smooth solid 41 x 31", grid(41, 31, smooth), solid, StepStatus::Written},
        {"a block 100 km deep", grid(21, 15, smooth), {true, 1e5, 0, 0.5}, StepStatus::Written},
        {"smooth, 1 % of the depth", grid(61, 41, smooth), {false, 0, 0.005, 0.5}, StepStatus::Written, true},
        {"no fewer poles than the exact one", grid(21, 15, noisy), {false, 0, 1e-17, 0.5}, StepStatus::Written},
        {"an approximation through the points, kilometres away between them", grid(30, 30, shadedGrain),
         {false, 0, 0.02, 0.5}, StepStatus::Written, false, true},
        {"one column", HeightGrid{{0.0}, {0.0, 0.01}, {0.1, 0.2}}, {}, StepStatus::NoCell},
        {"no base", grid(5, 5, smooth), {true, 0.0, 0, 0.5}, StepStatus::BaseTooThin},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::shared_ptr<Outcome> outcome;
        double done = 0;
        const StepResult result = runJob(c.g, c.options, outcome, done);
        ASSERT_EQ(result.status, c.status) << result.errorText;
        ASSERT_EQ(outcome->committed, c.status == StepStatus::Written);
        if (c.status != StepStatus::Written)
            continue;
        EXPECT_DOUBLE_EQ(done, 1.0);
        EXPECT_EQ(result.approximated, c.approximated);
        EXPECT_EQ(result.toleranceMissed, c.toleranceMissed);
        const ReadBack back = readBack(outcome->written);
        EXPECT_EQ(back.lengthUnit, "millimetre");
        // The part keeps its name in every file a session writes.
        std::smatch product;
        ASSERT_TRUE(std::regex_search(outcome->written, product, std::regex("PRODUCT\\('([^']*)','([^']*)'")));
        EXPECT_EQ(product[1].str() + "|" + product[2].str(), "Relief|Relief");
        EXPECT_EQ(back.solids, c.options.solid ? 1 : 0);
        EXPECT_EQ(back.faces, c.options.solid ? 6 : 1);
        ASSERT_FALSE(back.surface.IsNull());
        const double measured = deviation(*back.surface, c.g);
        EXPECT_LE(measured, c.approximated ? c.options.tolerance : 1e-6 * 0.5);
        EXPECT_NEAR(result.deviation, measured, 1e-9);
        const auto [lowest, highest] = std::minmax_element(c.g.depths.begin(), c.g.depths.end());
        const double swing = overshoot(*back.surface, c.g.xs, c.g.ys, *lowest, *highest);
        EXPECT_NEAR(result.overshoot, swing, 1e-9);
        if (c.approximated) {
            EXPECT_LE(swing, c.options.tolerance);
        }
        double u0, u1, v0, v1;
        back.surface->Bounds(u0, u1, v0, v1);
        EXPECT_NEAR(u0, c.g.xs.front() * 1000, 1e-9);
        EXPECT_NEAR(u1, c.g.xs.back() * 1000, 1e-9);
        EXPECT_NEAR(v0, c.g.ys.front() * 1000, 1e-9);
        EXPECT_NEAR(v1, c.g.ys.back() * 1000, 1e-9);
        if (c.options.solid)
            expectValidBlock(back.shape, c.g, c.options.maxDepth + c.options.base);
    }
}

// "Pièce posée" in STEP: the part placed as in the meshes, in millimetres
// (a 16-bit gradient of 40 x 30 pixels, 150 mm wide, 10 mm of relief over
// 2 mm of base): its box from 0, the surface's corners where the picture's
// corners are, up; a solid's back on Z = 0.
TEST(StepFiles, ThePartStandsOnItsBackInMillimetres)
{
    FormatRegistry registry;
    addStepFormat(registry);
    const FormatEntry& step = *registry.find("step");
    const ExportJob job = wholePictureJob(deepGradient(40, 30));
    for (const bool solid : {true, false})
        for (const bool invert : {false, true}) {
            SCOPED_TRACE(std::string(solid ? "solid" : "face") + (invert ? ", inverted" : ""));
            FormatOptions options = defaultOptions(step.options, job);
            options.solid = solid, options.invert = invert;
            options.widthMm = 150, options.reliefMm = 10, options.baseMm = 2;
            const ReadBack back = readBack(writtenFile(step, job, options));
            ASSERT_FALSE(back.surface.IsNull());
            EXPECT_EQ(back.solids, solid ? 1 : 0);
            EXPECT_TRUE(BRepCheck_Analyzer(back.shape).IsValid());

            const double foot = solid ? 2 : 0;
            const auto z = [&](int column, int row) {
                const double level = job.picture->luminance(column, row);
                return foot + 10 * (invert ? 1 - level : level);
            };
            // The surface passes through its corner points: the picture's
            // top-left at the largest Y.
            double u0, u1, v0, v1;
            back.surface->Bounds(u0, u1, v0, v1);
            const gp_Pnt corners[4] = {back.surface->Value(u0, v0), back.surface->Value(u1, v0),
                                       back.surface->Value(u0, v1), back.surface->Value(u1, v1)};
            const gp_Pnt expected[4] = {{0, 112.5, z(0, 0)}, {150, 112.5, z(39, 0)}, {0, 0, z(0, 29)},
                                        {150, 0, z(39, 29)}};
            for (const gp_Pnt& e : expected)
                EXPECT_TRUE(std::any_of(std::begin(corners), std::end(corners),
                                        [&e](const gp_Pnt& c) { return c.Distance(e) < 1e-6; }))
                    << e.X() << " " << e.Y() << " " << e.Z();

            Bnd_Box box;
            BRepBndLib::AddOptimal(back.shape, box, false, false);
            double xMin, yMin, zMin, xMax, yMax, zMax;
            box.Get(xMin, yMin, zMin, xMax, yMax, zMax);
            EXPECT_NEAR(xMin, 0, 1e-6);
            EXPECT_NEAR(yMin, 0, 1e-6);
            EXPECT_NEAR(xMax, 150, 1e-6);
            EXPECT_NEAR(yMax, 112.5, 1e-6);
            EXPECT_NEAR(zMin, 0, solid ? 1e-6 : 0.05);  // a face: its black corner, the surface bending near it
            EXPECT_NEAR(zMax, 12 - (solid ? 0 : 2), 0.05);
            if (solid) {
                // By the trapezoid rule over the 41 x 31 points, 3.75 mm apart.
                double volume = 0;
                for (int j = 0; j < 30; ++j)
                    for (int i = 0; i < 40; ++i)
                        volume += 3.75 * 3.75 / 4 *
                                  (z(i, j) + z(std::min(i + 1, 39), j) + z(i, std::min(j + 1, 29)) +
                                   z(std::min(i + 1, 39), std::min(j + 1, 29)));
                GProp_GProps properties;
                BRepGProp::VolumeProperties(back.shape, properties);
                EXPECT_NEAR(properties.Mass(), volume, volume * 0.001);
            }
        }
}

TEST(StepFiles, CancelDuringTheSurfaceDiscardsTheFile)
{
    // Long enough that the cancel comes while the surface is being built or
    // translated.
    const HeightGrid g = grid(700, 700, noisy);
    auto sink = std::make_unique<RecordingSink>();
    const std::shared_ptr<Outcome> outcome = sink->outcome;
    StepJob job(g, {}, std::move(sink));
    job.start();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(job.cancel());
    ASSERT_TRUE(job.waitFor(std::chrono::minutes(2)));
    EXPECT_EQ(job.result().status, StepStatus::Cancelled);
    EXPECT_FALSE(outcome->committed);
    EXPECT_TRUE(outcome->written.empty());
}

// The STEP export as users run it: orvanel-batch, in a child process of its
// own so that its peak resident size is its own.
namespace {

namespace fs = std::filesystem;

struct BatchRun {
    int status = -1;  // -1: ended by a signal
    std::string said;  // its standard error
    long peakKilobytes = 0;
};

// The child's address space is limited, when asked, to `addressSpace` bytes
// more than this process spans (AddressSanitizer's shadow alone spans
// terabytes): what it counts as free memory is then the same on every machine.
BatchRun runBatch(const std::vector<std::string>& arguments, std::optional<rlim_t> addressSpace = std::nullopt)
{
    std::vector<std::string> line{ORVANEL_BATCH_PROGRAM};
    line.insert(line.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : line)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    rlimit limit{RLIM_INFINITY, RLIM_INFINITY};
    if (addressSpace) {
        std::ifstream status("/proc/self/status");
        std::string word;
        rlim_t usedKilobytes = 0;
        while (status >> word && !(word == "VmSize:" && status >> usedKilobytes)) {
        }
        limit.rlim_cur = limit.rlim_max = usedKilobytes * 1024 + *addressSpace;
    }
    int errors[2];
    if (pipe(errors) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        dup2(errors[1], 2);
        close(errors[0]);
        close(errors[1]);
        if (addressSpace)
            setrlimit(RLIMIT_AS, &limit);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(errors[1]);
    BatchRun run;
    char buffer[4096];
    for (ssize_t n; (n = read(errors[0], buffer, sizeof buffer)) > 0;)
        run.said.append(buffer, std::size_t(n));
    close(errors[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakKilobytes = usage.ru_maxrss;
    return run;
}

std::string fileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A 64 x 48 grey picture (PGM) of a level for each pixel.
void writePicture(const fs::path& path, int (*level)(int x, int y))
{
    std::ofstream out(path, std::ios::binary);
    out << "P5\n64 48\n255\n";
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            out.put(char(level(x, y)));
}
int grainyLevel(int x, int y)
{
    std::uint32_t h = std::uint32_t(x) * 73856093u ^ std::uint32_t(y) * 19349663u;
    return int((h ^ (h >> 13)) * 0x5bd1e995u >> 24);
}
int smoothLevel(int x, int y) { return int(128 + 90 * std::sin(x / 12.0) * std::cos(y / 10.0)); }

struct BatchStep : ::testing::Test {
    fs::path scratch;
    fs::path out;
    std::string grainy, smooth;

    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "orvanel_step_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        scratch = pattern;
        out = scratch / "out";
        fs::create_directory(out);
        grainy = (scratch / "grainy.pgm").string();
        smooth = (scratch / "smooth.pgm").string();
        writePicture(grainy, grainyLevel);
        writePicture(smooth, smoothLevel);
    }
    void TearDown() override { fs::remove_all(scratch); }
    std::vector<std::string> outputs() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(out))
            names.push_back(entry.path().filename().string());
        return names;
    }
};

}  // namespace

// Exit status 2 and the reason, the field or the figures named: options that
// make no solid, before the walk or once the surface shows it; long thin
// selections whose surface, or whose approximation, would not fit the
// memory. Nothing is written, the earlier file is kept.
TEST_F(BatchStep, RefusedWithTheReasonNamedAndNothingWritten)
{
    constexpr rlim_t gibibyte = rlim_t(1) << 30;
    const struct {
        std::vector<std::string> arguments;
        const char* said;
        std::optional<rlim_t> addressSpace = std::nullopt;
    } cases[] = {
        {{"--solid", "--base", "1e300"}, "Le champ « Épaisseur du socle en m » donne des nombres trop grands pour un fichier STEP (plus de 1e8 mm, soit 100 km)"},
        {{"--solid", "--base", "1e-300"}, "Le champ « Épaisseur du socle en m » donne un socle trop mince pour un fichier STEP"},
        {{"--solid", "--base", "0.001"}, "Le champ « Épaisseur du socle en m » est trop mince pour ce relief : entre "
                                         "les points de la grille, la surface passe derrière le socle ; il faut au moins"},
        {{"--edges", "16777217,0,100,0"},
         "La surface STEP de 335\u202F545 x 3 points (1\u202F677\u202F735 pôles) demande environ 1,74 Go de mémoire, "
         "plus que les",
         gibibyte},
        {{"--step", "1", "--edges", "16777216,0,2,0"},
         "La surface STEP de 16\u202F777\u202F217 x 3 points (83\u202F886\u202F095 pôles) demande environ 84,0 Go",
         4 * gibibyte},
        {{"--rect", "0,0,1000000,100", "--tolerance", "0.001"},
         "Avec une tolérance, l'approximation d'OpenCASCADE de 20\u202F001 x 3 points demande environ 13,0 Go",
         4 * gibibyte},
        {{"--edges", "16777217,0,100,0", "--tolerance", "0.001"},
         "Avec une tolérance, l'approximation d'OpenCASCADE ne prend pas plus de 46\u202F340 points par côté ; la "
         "grille en a 335\u202F545 x 3 points.\nUne tolérance de 0 (surface exacte) ne demande qu'environ 1,74 Go"},
    };
    const fs::path target = out / "out.step";
    std::ofstream(target) << "earlier";
    for (const auto& c : cases) {
        std::vector<std::string> arguments{"step", grainy, target.string(), "--frame", "vrml"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const BatchRun run = runBatch(arguments, c.addressSpace);
        EXPECT_EQ(run.status, 2) << c.said;
        EXPECT_NE(run.said.find(c.said), std::string::npos) << run.said;
    }
    EXPECT_EQ(fileBytes(target), "earlier");
    EXPECT_EQ(outputs(), std::vector<std::string>{"out.step"});
}

// Every shape of selection makes a surface, within 2 GB: a single cell, one
// row, one column, and one row or column of 20 000 cells (OpenCASCADE's own
// interpolation of a grid took 9.2 GB there, a square matrix of its long
// side). The long ones are only glanced at: OpenCASCADE reads them in 6 s.
TEST_F(BatchStep, AnySelectionShapeWrittenWithinTwoGigabytes)
{
    const struct {
        std::vector<std::string> arguments;
        int faces = 1;
        bool readBack = true;
    } cases[] = {
        {{"--rect", "0,0,50,50"}},
        {{"--rect", "0,0,1000,50"}},
        {{"--rect", "0,0,50,700", "--solid", "--base", "1"}, 6},
        {{"--rect", "0,0,1000000,100"}, 1, false},
        {{"--rect", "0,0,50,1000000"}, 1, false},
    };
    const fs::path target = out / "out.step";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments[1]);
        std::vector<std::string> arguments{"step", grainy, target.string(), "--quiet", "--frame", "vrml"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const BatchRun run = runBatch(arguments);
        ASSERT_EQ(run.status, 0) << run.said;
        EXPECT_LT(run.peakKilobytes, 2'000'000);
        const std::string written = fileBytes(target);
        if (!c.readBack) {
            EXPECT_EQ(written.rfind("ISO-10303-21;", 0), 0u);
            EXPECT_NE(written.find("B_SPLINE_SURFACE_WITH_KNOTS"), std::string::npos);
            EXPECT_NE(written.find("END-ISO-10303-21;", written.size() - 40), std::string::npos);
            continue;
        }
        const ReadBack back = readBack(written);
        EXPECT_EQ(back.faces, c.faces);
        EXPECT_EQ(back.solids, c.faces == 6 ? 1 : 0);
        EXPECT_FALSE(back.surface.IsNull());
    }
}

// A grainy picture's exact surface swings far beyond the relief between the
// points: said with the figure, as OpenCASCADE's own evaluation of the file
// finds it, and with what smooths it. A smooth picture's is not worth a word.
// A tolerance that cannot make the file smaller says so.
TEST_F(BatchStep, SwingBetweenThePointsNotedOnGrainyPicturesOnly)
{
    const std::string swing = "orvanel-batch : Entre les points de la grille, la surface sort du relief de jusqu'à ";
    const struct {
        bool grainy;
        std::vector<std::string> arguments;
        std::vector<std::string> said;  // line by line, the figures left out
    } cases[] = {
        {true, {}, {swing + "# m : une tolérance de l'ordre du grain de l'image la lisse."}},
        {true, {"--tolerance", "0.01"},
         {"orvanel-batch : Écart maximal entre la surface et la grille : # m",
          "orvanel-batch : L'approximation dépassait la tolérance : la surface exacte a été écrite.",
          swing + "# m : une tolérance plus grande, de l'ordre du grain de l'image, la lisse."}},
        // 205 x 144 points: a block of the grid already needs most of the exact surface's poles.
        {true, {"--tolerance", "0.01", "--step", "5"},
         {"orvanel-batch : Écart maximal entre la surface et la grille : # m",
          "orvanel-batch : La tolérance ne réduit pas ce fichier, la surface exacte est plus petite : écrite telle "
          "quelle.",
          swing + "# m : une tolérance plus grande, de l'ordre du grain de l'image, la lisse."}},
        {false, {}, {}},
        {false, {"--tolerance", "0.05"}, {"orvanel-batch : Écart maximal entre la surface et la grille : # m"}},
    };
    const fs::path target = out / "out.step";
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.grainy ? "grainy" : "smooth") + (c.arguments.empty() ? "" : " " + c.arguments[1]) +
                     (c.arguments.size() > 2 ? " " + c.arguments[3] : ""));
        std::vector<std::string> arguments{"step", c.grainy ? grainy : smooth, target.string(), "--frame", "vrml"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const BatchRun run = runBatch(arguments);
        ASSERT_EQ(run.status, 0) << run.said;
        // Each figure in metres read, and left out of the line.
        std::vector<std::string> lines;
        std::vector<double> figures;
        const std::regex metres("(\\d+(,\\d+)?) m\\b");
        std::istringstream said(run.said);
        for (std::string line; std::getline(said, line);) {
            for (std::sregex_iterator m(line.begin(), line.end(), metres), end; m != end; ++m) {
                std::string figure = (*m)[1];
                std::replace(figure.begin(), figure.end(), ',', '.');
                figures.push_back(std::stod(figure));
            }
            lines.push_back(std::regex_replace(line, metres, "# m"));
        }
        EXPECT_EQ(lines, c.said);
        if (!c.grainy)
            continue;
        // The exact surface's knots are the grid's points, which it passes through.
        const ReadBack back = readBack(fileBytes(target));
        ASSERT_FALSE(back.surface.IsNull());
        std::vector<double> xs, ys;
        for (int k = 1; k <= back.surface->NbUKnots(); ++k)
            xs.push_back(back.surface->UKnot(k) / 1000);
        for (int k = 1; k <= back.surface->NbVKnots(); ++k)
            ys.push_back(back.surface->VKnot(k) / 1000);
        double lowest = HUGE_VAL, highest = -HUGE_VAL;
        for (double y : ys)
            for (double x : xs) {
                const double z = back.surface->Value(x * 1000, y * 1000).Z() / 1000;
                lowest = std::min(lowest, z);
                highest = std::max(highest, z);
            }
        const double measured = overshoot(*back.surface, xs, ys, lowest, highest);
        EXPECT_GT(measured, 0.05);
        ASSERT_FALSE(figures.empty());
        EXPECT_NEAR(figures.back(), measured, 1e-5 * measured);
    }
}
