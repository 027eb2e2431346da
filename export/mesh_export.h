#pragma once

#include "mesh_options.h"
#include "mesh_size_estimate.h"

#include "relief/format_entry.h"
#include "relief/height_grid.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The registry entries of the one-piece meshes: "stl" (binary STL) and "obj"
// (Wavefront OBJ), written from the height grid as the walk gives it, or
// from the whole grid simplified within a triangle budget.
FormatEntry stlFormatEntry();
FormatEntry objFormatEntry();

// The options as the writers take them: the budget is the whole file's, and
// the surface gets what the walls and back leave (never below what its
// outline needs: that budget is refused before the walk). A placed part's
// sizes become the relief's depth and base, in its own frame.
MeshOptions meshOptions(const ExportJob& job, const FormatOptions& options);

// A whole grid's mesh: its surface (three grid point indices per triangle,
// facing the picture: every cell's two, or fewer when simplified) and the
// options that may close it into a solid.
struct WholeMesh {
    const HeightGrid& grid;
    const std::vector<std::uint32_t>& surface;
    const MeshOptions& options;
};

// Writes the file of a whole mesh. Failed with `failure` in French when the
// format itself could not make it (left empty for the stream's own error),
// Abandoned when `work` said to stop.
using WholeMeshWriter =
    std::function<FinishResult(TextOutput& out, const WholeMesh& mesh, LongWork& work, std::string& failure)>;

// A one-piece mesh format whose file is made from the whole mesh at once (a
// library that takes it whole), whatever the options: STL's options, checks,
// triangles, simplification and measured facts.
struct WholeMeshFormat {
    std::string_view id, caption, filter, extension;
    NumberRange numbers;  // what its readers take
    WholeMeshWriter write;
    MeshSizeEstimate (*estimate)(std::uint64_t columns, std::uint64_t rows, const MeshOptions& options);
    // Its own French refusal of a grid before the walk (its library's limits, memory), if any.
    std::optional<std::string> (*check)(const GridSize& grid, const MeshOptions& options) = nullptr;
};

FormatEntry wholeMeshFormatEntry(const WholeMeshFormat& format);
