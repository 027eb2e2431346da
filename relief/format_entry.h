#pragma once

#include "export_format.h"
#include "export_parameters.h"
#include "format_option.h"
#include "number_range.h"
#include "relief_walk.h"
#include "platform/event_loop.h"
#include "platform/long_work.h"
#include "platform/picture.h"
#include "platform/text_output.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class BandedBody;
class CellPlaces;
class CellTable;

// What an export reads when it starts, fixed for its whole run.
struct ExportJob {
    ExportParameters parameters;
    Selection selection;
    std::shared_ptr<const Picture> picture;  // never null: an empty picture when none is loaded
    unsigned threads = 0;  // formatting the file; 0: one per core
};

struct SizeEstimate {
    std::uint64_t typical = 0;     // what the file usually weighs
    std::uint64_t upperBound = 0;  // what it cannot exceed
};

// Everything a format's size estimate may look at; it reads at most a few
// thousand picture points, so it can run on every mouse move.
struct SizeQuestion {
    const ExportJob& job;
    GridSize grid;
    FormatOptions options;
};

// Refused: what the walk gathered cannot be exported as asked (a base too
// thin for the surface made from it...); failureReason() is then the whole
// French message, nothing having been written.
// What a mesh export measured on the triangles it wrote.
struct MeshFacts {
    std::uint64_t triangles = 0;  // in the whole file
    double largestErrorMm = 0;    // vertical, between any grid point and the surface
    double rmsErrorMm = 0;
    bool solid = false;
    bool closedVerified = false;  // a solid: every edge shared by two triangles, wound consistently
};

enum class FinishResult { Done, Failed, Abandoned, Refused };

// One export being written to a stream: the head, the cells of the walk
// (directly, or gathered into point rows, or as bands), then whatever comes after the
// walk (a tail, a simplification, a surface) when finished.
class ReliefWriter {
public:
    virtual ~ReliefWriter() = default;
    // The body as bands of rows formatted in parallel from the walk's tables,
    // when the writer has one: asked first, then begin(), the bands and
    // finish(); cells() is then not used.
    virtual const BandedBody* bands(const CellTable&) { return nullptr; }
    // A writer whose grid is not the walk's (the part's own pixels): its
    // body as bands over that grid, and where its cells stand for the
    // progress. Asked before anything else; then begin(), the bands and
    // finish(), and neither the walk nor bands() are used.
    struct OwnGrid {
        const BandedBody* body;
        const CellPlaces* places;
    };
    virtual std::optional<OwnGrid> ownGrid() { return std::nullopt; }
    virtual bool begin() = 0;
    virtual CellConsumer& cells() = 0;
    // Long work after the walk asks `work` whether to go on.
    virtual FinishResult finish(LongWork& work) = 0;
    // Lines added to the completion message (a measured deviation...).
    virtual std::vector<std::string> completionNotes() const { return {}; }
    // A mesh's measured facts, once finished.
    virtual std::optional<MeshFacts> meshFacts() const { return std::nullopt; }
    // Why finish() failed when the stream did not, or refused: in French.
    virtual std::string failureReason() const { return {}; }
};

// One export format as the menu, the command line, the estimates and the
// writing see it.
struct FormatEntry {
    std::string_view id;           // as the command line spells it
    std::string_view menuCaption;  // as the "Export" menu shows it
    std::string_view fileFilter;   // "description|pattern|"
    std::string_view extension;    // without the dot
    std::optional<double> depthFloor;
    NumberRange numbers;           // what its readers take; by default any finite number
    bool addsExtension = false;    // a name typed without one gets it
    std::vector<FormatOption> options;  // its options dialog and batch options, in order
    // Set when a selection without a cell makes nothing of this format: the
    // French reason it is refused for, before anything is asked.
    std::string_view noCellRefusal;
    bool measuresMesh = false;          // its writer gives MeshFacts
    std::function<SizeEstimate(const SizeQuestion&)> estimateSize;
    // The line under the options dialog's fields, made again as they change:
    // what the options as typed give (the file's triangles, its size...), in
    // French. None: the dialog has no such line.
    std::function<std::string(const ExportJob&, const FormatOptions&)> optionsSummary;
    // A French refusal of the job before anything is asked or written, if any.
    std::function<std::optional<std::string>(const ExportJob&, const GridSize&, const FormatOptions&)> checkJob;
    std::function<std::unique_ptr<ReliefWriter>(const ExportJob&, const FormatOptions&, TextOutput&)> makeWriter;
};
