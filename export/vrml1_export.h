#pragma once

#include "relief/export_format.h"

// "VRML pour SW": a VRML 1.0 scene, one Coordinate3 and IndexedFaceSet per
// cell under one overall material.
const ExportFormat& vrml1Export();
