#pragma once

#include "export_format.h"
#include "format_entry.h"

// The size of a text format's file. X and Y texts are counted exactly from
// the walk's positions; the depth texts are measured on a sample of the
// picture for the typical figure and taken at their longest for the bound.
SizeEstimate estimateTextSize(const ExportFormat& format, const SizeQuestion& question);
