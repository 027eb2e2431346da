#pragma once

#include "export_parameters.h"
#include "format_entry.h"
#include "platform/picture.h"
#include "platform/target_facts.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// What an export command reads when it starts: the fields' texts, the edge
// lines and the picture shown (null when none is).
struct ExportRequest {
    FieldTexts fields;
    EdgeLines lines;
    std::shared_ptr<const Picture> picture;
};

// What the checks before an export found, in the order the user meets them.
// The desktop program asks its questions and shows its refusals; the
// command line, which nobody answers, prints them and stops where a finding
// says so unless --force.
struct ExportFinding {
    enum class Level {
        Refusal,   // nothing can be written
        Question,  // the result may not be what the user thinks: ask first
        Note,      // said on the command line only
    };
    enum class Subject {
        FieldReading,    // a field reads otherwise than it looks
        NoCell,          // the selection holds no cell
        NoPicture,       // no picture is loaded
        OutsidePicture,  // no point of the walk lies on the picture
        DepthFloor,      // the format's floor raised the depth
        SameAsPicture,   // the target is the picture being read
        NoRoom,          // the file may not fit where it goes
        LargeFile,       // over a gigabyte
    };
    Level level;
    Subject subject;
    std::string text;             // French, a whole sentence
    bool stopsUnattended = false; // with nobody to answer, only --force goes on
};

// An export read and checked before anything is asked or written.
struct PreparedExport {
    ExportJob job;
    GridSize grid;
    // The export cannot be made (a number too large, a step that never
    // moves...): a French message; nothing is to be asked or written.
    std::optional<std::string> refusal;
    // Questions and notes, in order.
    std::vector<ExportFinding> findings;
};

// The first checks, from the fields, the selection and the picture alone.
PreparedExport prepareExport(const FormatEntry& format, const ExportRequest& request);

// The refusal of the options chosen, in French, if any: numbers the file
// cannot hold, then the format's own checks. Asked once the options are
// known, before the Save dialog.
std::optional<std::string> checkOptions(const FormatEntry& format, const ExportJob& job, const GridSize& grid,
                                        const FormatOptions& options);

// The size of the format's file for a prepared export written with these
// options: the one estimate that the status line, the preview, the question
// before a very large file and the refusal for want of room all show.
SizeEstimate estimateFileSize(const FormatEntry& format, const PreparedExport& prepared,
                              const FormatOptions& options);

// The last checks, once the target's path is known: the picture itself, the
// room on the disk, a very large file. `picturePath` may be empty.
std::vector<ExportFinding> checkTarget(const FormatEntry& format, const PreparedExport& prepared,
                                       const FormatOptions& options, const std::string& path,
                                       const std::string& picturePath, const TargetFacts& target);

// The job a request describes, read with the format's depth floor (none:
// as typed), with the reason it cannot be walked, if any.
ExportJob readJob(const ExportRequest& request, std::optional<double> depthFloor,
                  std::optional<std::string>& refusal);

// A closed solid needs a base thicker than 0: the French refusal otherwise,
// naming the base of the placement.
std::optional<std::string> solidBaseProblem(const FormatOptions& options, Placement placement = Placement::VrmlFrame);

// One French sentence for each field whose text reads otherwise than it
// looks (the scale, the depth, the step, in that order).
std::vector<std::string> fieldDoubts(const FieldTexts& fields);
