#pragma once

#include "relief/format_entry.h"

// The registry entries of the one-piece meshes: "stl" (binary STL) and "obj"
// (Wavefront OBJ), written from the height grid as the walk gives it, or
// from the whole grid simplified within a triangle budget.
FormatEntry stlFormatEntry();
FormatEntry objFormatEntry();
