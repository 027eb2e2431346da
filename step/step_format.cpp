#include "step_format.h"

#include "step_job.h"
#include "step_memory.h"
#include "step_size.h"

#include "relief/export_command.h"
#include "relief/export_messages.h"
#include "relief/grid_filling.h"
#include "relief/part_grid.h"
#include "relief/point_rows.h"
#include "relief/size_text.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr double millimetresPerMetre = 1000;

// The part's sizes become the relief's depth and base, placed in its frame.
StepOptions stepOptions(const ExportJob& job, const FormatOptions& options)
{
    if (options.placement != Placement::Part)
        return {options.solid, options.base, options.tolerance, job.parameters.maxDepth};
    const PartShape shape = partShape(job, options);
    const double base = options.baseMm / millimetresPerMetre;
    return {options.solid, base, options.partToleranceMm / millimetresPerMetre, shape.reliefMm / millimetresPerMetre,
            partPlacement(shape, options.solid, base)};
}

// The worker's bytes, kept in the pieces it wrote them in: a file of
// hundreds of megabytes is neither copied on commit nor doubled while it
// grows. Read only once the worker has finished.
struct StepBytes {
    std::vector<std::string> pieces;
    bool committed = false;
};

// A sink whose bytes stay readable after the job that fills it is gone.
class StepBytesSink : public ByteSink {
public:
    explicit StepBytesSink(std::shared_ptr<StepBytes> bytes) : bytes_(std::move(bytes)) {}
    bool write(std::string_view bytes) override
    {
        bytes_->pieces.emplace_back(bytes);
        return true;
    }
    bool commit() override { return bytes_->committed = true; }
    std::string errorText() const override { return {}; }

private:
    std::shared_ptr<StepBytes> bytes_;
};

// The walk gathers the whole grid (or the part's pixels fill it); the
// surface is then built on a worker, into memory, and copied into the file
// only once whole: a cancel leaves the worker to finish alone and writes
// nothing.
class StepExport : public ReliefWriter {
public:
    StepExport(const ExportJob& job, const FormatOptions& chosen, TextOutput& out)
        : options_(stepOptions(job, chosen)), out_(out)
    {
        if (chosen.placement == Placement::Part) {
            part_ = std::make_unique<PartGrid>(*job.picture, partShape(job, chosen), chosen.invert);
            filling_ = std::make_unique<GridFilling>(*part_, grid_.grid);
        } else {
            rows_.emplace(job.parameters, job.selection, grid_);
        }
    }

    std::optional<OwnGrid> ownGrid() override
    {
        if (!part_)
            return std::nullopt;
        return OwnGrid{filling_.get(), part_.get()};
    }
    bool begin() override { return part_ || rows_->begin(); }
    CellConsumer& cells() override { return *rows_; }
    FinishResult finish(LongWork& work) override
    {
        if (!part_ && !rows_->end())
            return FinishResult::Failed;
        auto bytes = std::make_shared<StepBytes>();
        StepJob job(std::move(grid_.grid), options_, std::make_unique<StepBytesSink>(bytes));
        job.start();
        work.start("Construction de la surface STEP…");
        while (!job.waitFor(std::chrono::milliseconds(30))) {
            work.progress(StepProgress::name(job.progress().phase()), job.progress().done());
            if (!work.keepGoing() && job.cancel()) {
                work.finish();
                return FinishResult::Abandoned;
            }
        }
        work.finish();
        result_ = job.result();
        switch (result_.status) {
        case StepStatus::Written:
            for (std::string& piece : bytes->pieces) {
                out_.write(piece);
                std::string().swap(piece);
            }
            return out_.failed() ? FinishResult::Failed : FinishResult::Done;
        case StepStatus::Cancelled:
            return FinishResult::Abandoned;
        case StepStatus::BaseTooThin: {
            // Said in the unit the base was typed in.
            const bool part = options_.placement.turned;
            reason_ = std::string("Le champ « Épaisseur du socle en ") + (part ? "mm" : "m") +
                      " » est trop mince pour ce relief : entre les points de la grille, la surface passe "
                      "derrière le socle ; il faut au moins " +
                      lengthText(result_.neededBase) +
                      ".\nL'export est annulé : aucun fichier existant n'a été modifié.";
            return FinishResult::Refused;
        }
        default:
            reason_ = "la surface n'a pas pu être construite (" +
                      (result_.errorText.empty() ? std::string("cause inconnue") : result_.errorText) + ")";
            return FinishResult::Failed;
        }
    }
    std::vector<std::string> completionNotes() const override
    {
        std::vector<std::string> notes;
        if (options_.tolerance > 0)
            notes.push_back("Écart maximal entre la surface et la grille : " + lengthText(result_.deviation));
        if (result_.toleranceMissed)
            notes.push_back("L'approximation dépassait la tolérance : la surface exacte a été écrite.");
        else if (options_.tolerance > 0 && !result_.approximated)
            notes.push_back("La tolérance ne réduit pas ce fichier, la surface exacte est plus petite : écrite telle "
                            "quelle.");
        // A swing of less than 1 % of the depth is a smooth picture's crest
        // falling between two points (measured: a grey level or two), which
        // the surface rightly rounds, or a fine grain's (4 % of grain: under
        // 1 %); a picture of pixels at random swings 10 to 20 %.
        if (result_.overshoot > std::max(options_.tolerance, 0.01 * std::abs(options_.maxDepth)))
            notes.push_back("Entre les points de la grille, la surface sort du relief de jusqu'à " +
                            lengthText(result_.overshoot) + " : une tolérance " +
                            (options_.tolerance > 0 ? "plus grande, de l'ordre du grain de l'image, la lisse."
                                                     : "de l'ordre du grain de l'image la lisse."));
        return notes;
    }
    std::string failureReason() const override { return reason_; }

private:
    // A length in the unit of the placement's fields.
    std::string lengthText(double metres) const
    {
        return options_.placement.turned ? metresText(metres * millimetresPerMetre) + " mm" : metresText(metres) + " m";
    }

    StepOptions options_;
    TextOutput& out_;
    HeightGridBuilder grid_;
    std::unique_ptr<PartGrid> part_;
    std::unique_ptr<GridFilling> filling_;
    std::optional<PointRowGatherer> rows_;
    StepResult result_;
    std::string reason_;
};

}  // namespace

void addStepFormat(FormatRegistry& registry)
{
    FormatEntry entry;
    entry.id = "step";
    entry.menuCaption = "STEP pour SW/CATIA (surface lisse)";
    entry.fileFilter = "Fichier STEP (*.step;*.stp)|*.step;*.stp|";
    entry.extension = "step";
    entry.addsExtension = true;
    entry.options = {placementOption(), solidOption(false), widthOption(),       reliefOption(),        partBaseOption(),
                     baseOption(),      boundedEveryOption(), invertOption(), partToleranceOption(), toleranceOption()};
    entry.noCellRefusal = "La sélection ne contient aucune cellule : une surface STEP en demande au moins une.";
    // OpenCASCADE confuses points closer than 1e-7 mm and sews faces within
    // 1e-6 mm; beyond 1e8 mm (100 km) doubles lie more than a sixth of that
    // 1e-7 mm apart, and a solid's points lose their places.
    entry.numbers = {"un fichier STEP", 1000, 1e8, "1e8 mm, soit 100 km", 1e-15, 1e-6};
    entry.estimateSize = [](const SizeQuestion& q) {
        const StepSizeEstimate size =
            estimateStepSize(q.grid.columns + 1, q.grid.rows + 1, stepOptions(q.job, q.options));
        return SizeEstimate{size.typicalBytes, size.upperBytes};
    };
    entry.checkJob = [](const ExportJob& job, const GridSize& grid,
                        const FormatOptions& options) -> std::optional<std::string> {
        // The walk's grid without a cell is refused before any question;
        // the part's, once its pixels are known.
        if (grid.cells() == 0)
            return refusalMessage("La sélection ne contient aucune cellule : une surface STEP en demande au moins une.");
        if (auto problem = solidBaseProblem(options, options.placement))
            return problem;
        if (stepOptions(job, options).tolerance < 0)
            return std::string("La tolérance ne peut pas être négative.");
        return stepMemoryProblem(grid, stepOptions(job, options));
    };
    entry.makeWriter = [](const ExportJob& job, const FormatOptions& options, TextOutput& out) {
        return std::make_unique<StepExport>(job, options, out);
    };
    registry.add(entry);
}
