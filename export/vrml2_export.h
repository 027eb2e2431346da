#pragma once

#include "relief/export_format.h"

// "VRML pour CATIA": a VRML 2.0 scene scaled by 0.001, one Shape per cell.
const ExportFormat& vrml2Export();
