#pragma once

#include "relief_preview_window.h"
#include "selection_summary.h"
#include "preview/grid_thinning.h"

// What the "Aperçu 3D" window shows for the fields, rectangle and picture an
// export would read now, as the status line sums them up: the exports' own
// height grid (no VRML floor), and its facts. A grid of more points than
// the preview draws is computed only at the points drawn, so the time stays
// that of the points shown.
struct PreviewContent {
    ThinnedGrid relief;
    PreviewFacts facts;
};

PreviewContent previewContent(const SelectionSummary& summary);
