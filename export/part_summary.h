#pragma once

#include "relief/format_entry.h"

#include <string>

// What "Pièce posée" makes of a job with these options, in one French line
// for the options dialog: the part's width, height and thickness in
// millimetres, and the most triangles its file can hold, walls and back
// included. "Pièce : 150 × 112,5 × 12 mm · 200 000 triangles au plus"
std::string partSummary(const ExportJob& job, const FormatOptions& options);
