#pragma once

#include "relief/export_format.h"

// "ASCII pour CATIA": a point cloud, one "X x Y y Z z" line per corner, with
// decimal commas.
const ExportFormat& asciiExport();
