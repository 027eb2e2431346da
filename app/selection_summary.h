#pragma once

#include "relief/export_command.h"

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
        std::optional<SizeEstimate> size;  // none when that format refuses
    };
    std::vector<FormatSize> sizes;
};

SelectionSummary summarizeSelection(const ExportRequest& request);

// "312 x 333 px · 5 x 5 m · 10 000 cellules · vrml1 5,00 Mo · ..."
std::string readoutText(const SelectionSummary& summary);
// "VRML pour SW : 5,00 Mo", one line a format.
std::vector<std::string> fileSizeLines(const SelectionSummary& summary);
