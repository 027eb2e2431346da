#include "step/step_job.h"

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

#include <cmath>
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

StepResult runJob(const HeightGrid& g, const StepOptions& options, std::shared_ptr<Outcome>& outcome)
{
    auto sink = std::make_unique<RecordingSink>();
    outcome = sink->outcome;
    StepJob job(g, options, std::move(sink));
    job.start();
    EXPECT_TRUE(job.waitFor(std::chrono::minutes(2)));
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

// A valid closed solid holding the block between the relief and the back
// plane, its volume by the trapezoid rule.
void expectValidBlock(const TopoDS_Shape& shape, const HeightGrid& g)
{
    EXPECT_TRUE(BRepCheck_Analyzer(shape).IsValid());
    for (TopExp_Explorer e(shape, TopAbs_SHELL); e.More(); e.Next())
        EXPECT_TRUE(BRep_Tool::IsClosed(e.Current()));
    const double backZ = 0.5 + 0.05;
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

// A face or a solid through every point, in millimetres; an approximation
// within its tolerance, or the exact surface when it has no fewer poles;
// grids that make no surface refused with nothing written.
TEST(StepFiles, FaceOrSolidThroughEveryPointOrWithinTheTolerance)
{
    const StepOptions face{false, 0.05, 0, 0.5}, solid{true, 0.05, 0, 0.5};
    const struct {
        const char* name;
        HeightGrid g;
        StepOptions options;
        StepStatus status;
        bool approximated;
    } cases[] = {
        {"one cell", grid(2, 2, noisy), face, StepStatus::Written, false},
        {"noisy 61 x 41", grid(61, 41, noisy), face, StepStatus::Written, false},
        {"smooth solid 41 x 31", grid(41, 31, smooth), solid, StepStatus::Written, false},
        {"smooth, 1 % of the depth", grid(61, 41, smooth), {false, 0, 0.005, 0.5}, StepStatus::Written, true},
        {"no fewer poles than the exact one", grid(21, 15, noisy), {false, 0, 1e-17, 0.5}, StepStatus::Written, false},
        {"one column", HeightGrid{{0.0}, {0.0, 0.01}, {0.1, 0.2}}, {}, StepStatus::NoCell, false},
        {"no base", grid(5, 5, smooth), {true, 0.0, 0, 0.5}, StepStatus::BaseTooThin, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::shared_ptr<Outcome> outcome;
        const StepResult result = runJob(c.g, c.options, outcome);
        ASSERT_EQ(result.status, c.status);
        ASSERT_EQ(outcome->committed, c.status == StepStatus::Written);
        if (c.status != StepStatus::Written)
            continue;
        EXPECT_EQ(result.approximated, c.approximated);
        EXPECT_FALSE(result.toleranceMissed);
        const ReadBack back = readBack(outcome->written);
        EXPECT_EQ(back.lengthUnit, "millimetre");
        EXPECT_EQ(back.solids, c.options.solid ? 1 : 0);
        EXPECT_EQ(back.faces, c.options.solid ? 6 : 1);
        ASSERT_FALSE(back.surface.IsNull());
        const double measured = deviation(*back.surface, c.g);
        EXPECT_LE(measured, c.approximated ? c.options.tolerance : 1e-6 * 0.5);
        EXPECT_NEAR(result.deviation, measured, 1e-9);
        double u0, u1, v0, v1;
        back.surface->Bounds(u0, u1, v0, v1);
        EXPECT_NEAR(u0, c.g.xs.front() * 1000, 1e-9);
        EXPECT_NEAR(u1, c.g.xs.back() * 1000, 1e-9);
        EXPECT_NEAR(v0, c.g.ys.front() * 1000, 1e-9);
        EXPECT_NEAR(v1, c.g.ys.back() * 1000, 1e-9);
        if (c.options.solid)
            expectValidBlock(back.shape, c.g);
    }
}

TEST(StepFiles, CancelDuringTheSurfaceDiscardsTheFile)
{
    // Long enough that the cancel comes while the surface is being built.
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
