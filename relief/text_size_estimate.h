#pragma once

#include "export_format.h"
#include "format_entry.h"

// The size of a text format's file, in a time and memory that do not grow
// with the grid. X and Y texts are counted exactly from the walk's positions
// up to 16 384 of them an axis; past that, measured on as many spread over
// the axis for the typical figure and taken at their longest for the bound,
// as the depth texts are (on a sample of the picture).
SizeEstimate estimateTextSize(const ExportFormat& format, const SizeQuestion& question);
