#pragma once

// The 3MF file of a whole mesh, made by lib3mf: one object in millimetres,
// a closed solid as a "model", the open surface as a "surface"; its points
// are the STL's single-precision numbers (which lib3mf writes to six
// decimals, within about one unit of their last place) and its triangles
// the STL's, in the same order, each point listed once and numbered as the
// OBJ numbers it. The archive is made in memory, then handed to the stream,
// so that nothing reaches the file unless it is whole; its UUIDs follow
// from the mesh, so that the same export gives the same bytes.

#include "export/mesh_export.h"

FinishResult writeThreeMf(TextOutput& out, const WholeMesh& mesh, LongWork& work, std::string& failure);
