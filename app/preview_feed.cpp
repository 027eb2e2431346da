#include "preview_feed.h"

#include "relief/point_rows.h"
#include "relief/relief_walk.h"
#include "relief/size_text.h"
#include "relief/thinned_height_grid.h"

namespace {

QString fromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

}  // namespace

PreviewContent previewContent(const SelectionSummary& summary)
{
    PreviewContent content;
    PreviewFacts& facts = content.facts;
    facts.depth = QStringLiteral("profondeur maxi : %1 m").arg(fromUtf8(metresText(summary.job.parameters.maxDepth)));
    for (const std::string& doubt : summary.doubts)
        facts.notes << fromUtf8(doubt);
    if (summary.refusal) {
        facts.notes << fromUtf8(*summary.refusal);
        return content;
    }
    if (summary.vrmlFloor)
        facts.notes << QStringLiteral("VRML : %1 m").arg(fromUtf8(metresText(*summary.vrmlFloor)));

    const std::size_t columns = static_cast<std::size_t>(summary.grid.columns) + 1;
    const std::size_t rows = static_cast<std::size_t>(summary.grid.rows) + 1;
    ThinnedGrid& relief = content.relief;
    if (summary.grid.cells() == 0) {
        // No cell, no relief: nothing to walk.
    } else if (relief.step = thinningStep(columns, rows, previewPointBudget); relief.step == 1) {
        relief.grid = buildHeightGrid(summary.job.parameters, summary.job.selection, *summary.job.picture);
    } else {
        relief.grid =
            thinnedHeightGrid(summary.job.parameters, summary.job.selection, *summary.job.picture, relief.step);
    }

    // The relief as the VRML and ASCII files place it, in metres; the
    // one-piece formats place a part of their own, in millimetres.
    const QString vrmlSize = QStringLiteral("%1 x %2 x %3 m (repère des fichiers VRML)");
    const double width = summary.grid.columns * summary.job.parameters.step * summary.job.parameters.scale;
    const double height = summary.grid.rows * summary.job.parameters.step * summary.job.parameters.scale;
    if (!relief.grid.xs.empty())
        facts.size = vrmlSize.arg(fromUtf8(metresText(relief.grid.xs.back() - relief.grid.xs.front())),
                                  fromUtf8(metresText(relief.grid.ys.back() - relief.grid.ys.front())),
                                  fromUtf8(metresText(summary.job.parameters.maxDepth)));
    else
        facts.size = vrmlSize.arg(fromUtf8(metresText(width)), fromUtf8(metresText(height)),
                                  fromUtf8(metresText(summary.job.parameters.maxDepth)));
    if (summary.part && summary.part->cells.cells() > 0)
        facts.partSize = QStringLiteral("pièce posée : %1 x %2 x %3 mm")
                             .arg(fromUtf8(metresText(summary.part->widthMm)),
                                  fromUtf8(metresText(summary.part->heightMm)),
                                  fromUtf8(metresText(summary.part->thicknessMm)));
    facts.cells = fromUtf8(countText(summary.grid.cells())) + QStringLiteral(" cellules");
    for (const std::string& line : fileSizeLines(summary))
        facts.fileSizes << fromUtf8(line);
    return content;
}
