#include "selection_summary.h"

#include "platform/window_unit.h"
#include "export/standard_formats.h"
#include "relief/number_reading.h"
#include "relief/size_text.h"

#include <cmath>

namespace {

std::string pixelsText(double units, double perPixel)
{
    return countText(static_cast<std::uint64_t>(std::lround(std::fabs(units) / perPixel)));
}

}  // namespace

SelectionSummary summarizeSelection(const ExportRequest& request)
{
    SelectionSummary s;
    s.job = readJob(request, std::nullopt, s.refusal);
    if (!s.refusal)
        s.grid = walkGridSize(s.job.parameters, s.job.selection);
    s.doubts = fieldDoubts(request.fields);

    for (const FormatEntry& format : formatRegistry().all()) {
        if (format.depthFloor && s.job.parameters.maxDepth < *format.depthFloor)
            s.vrmlFloor = format.depthFloor;
        SelectionSummary::FormatSize size{std::string(format.id), std::string(format.menuCaption), std::nullopt};
        if (!s.refusal) {
            const PreparedExport prepared = prepareExport(format, request);
            if (!prepared.refusal)
                size.size = format.estimateSize({prepared.job, prepared.grid, FormatOptions{}});
        }
        s.sizes.push_back(std::move(size));
    }
    return s;
}

std::string readoutText(const SelectionSummary& s)
{
    const Selection& area = s.job.selection;
    const double scale = s.job.parameters.scale;
    std::string text = pixelsText(area.width, window_unit::perPixelAcross) + " x " +
                       pixelsText(area.height, window_unit::perPixelDown) + " px · " +
                       metresText(area.width * scale) + " x " + metresText(area.height * scale) + " m";
    if (s.refusal)
        return text + " · export impossible";
    text += " · " + countText(s.grid.cells()) + (s.grid.cells() == 1 ? " cellule" : " cellules");
    for (const SelectionSummary::FormatSize& format : s.sizes)
        if (format.size)
            text += " · " + format.id + " " + sizeText(format.size->typical);
    return text;
}

std::vector<std::string> fileSizeLines(const SelectionSummary& s)
{
    std::vector<std::string> lines;
    for (const SelectionSummary::FormatSize& format : s.sizes)
        lines.push_back(format.caption + " : " + (format.size ? sizeText(format.size->typical) : "impossible"));
    return lines;
}
