#pragma once

#include "export_flow.h"
#include "relief/export_command.h"
#include "relief/part_grid.h"

#include <optional>
#include <string>
#include <vector>

// What the fields and the rectangle give, read as an export would read them
// without the VRML floor: for the status line and the preview. Cheap enough
// for every mouse move (no cell is walked).
struct SelectionSummary {
    ExportJob job;  // the lenient reading, no depth floor
    GridSize grid;
    std::optional<std::string> refusal;  // why no export could be made
    std::vector<std::string> doubts;     // a field read otherwise than it looks
    std::optional<double> vrmlFloor;     // the floor the VRML exports would apply
    struct FormatSize {
        std::string id;
        std::string caption;
        // The format's one estimate, with the options its dialog offers now;
        // none when that format refuses.
        std::optional<SizeEstimate> size;
    };
    std::vector<FormatSize> sizes;
    // The part the first one-piece format would place, with the options its
    // dialog offers now; none in the VRML frame or when it refuses.
    std::optional<PartShape> part;
};

// `options` answers what each format's options dialog would offer now.
SelectionSummary summarizeSelection(const ExportRequest& request, const FormatOptionsDialog& options);

// "312 x 333 px": the selection in pixels of the picture.
std::string selectionPixelsText(const SelectionSummary& summary);
// "6,41026 x 4,5 m", or rounded to three significant digits "6,41 x 4,5 m".
std::string selectionMetresText(const SelectionSummary& summary, bool rounded = false);
// "10 000 cellules", or "export impossible".
std::string cellsText(const SelectionSummary& summary);
// "5,00 Mo", or "impossible": what the file is said to weigh everywhere.
std::string estimateText(const SelectionSummary::FormatSize& format);
// "VRML pour SW : 5,00 Mo", one line a format.
std::vector<std::string> fileSizeLines(const SelectionSummary& summary);
