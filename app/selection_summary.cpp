#include "selection_summary.h"

#include "platform/window_unit.h"
#include "export/standard_formats.h"
#include "relief/size_text.h"

#include <cmath>

namespace {

std::string pixelsText(double units, double perPixel)
{
    return countText(static_cast<std::uint64_t>(std::lround(std::fabs(units) / perPixel)));
}

// Three significant digits: enough at a glance, the rest in the tooltip.
double roughly(double value)
{
    if (value == 0 || !std::isfinite(value))
        return value;
    const double unit = std::pow(10.0, std::floor(std::log10(std::fabs(value))) - 2);
    return std::round(value / unit) * unit;
}

}  // namespace

SelectionSummary summarizeSelection(const ExportRequest& request, const FormatOptionsDialog& options)
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
            if (!prepared.refusal) {
                const FormatOptions offered = options.offered(format, prepared.job);
                size.size = estimateFileSize(format, prepared, offered);
                if (!s.part && placementOf(format.options, offered) == Placement::Part)
                    s.part = partShape(prepared.job, offered);
            }
        }
        s.sizes.push_back(std::move(size));
    }
    return s;
}

std::string selectionPixelsText(const SelectionSummary& s)
{
    return pixelsText(s.job.selection.width, window_unit::perPixelAcross) + " x " +
           pixelsText(s.job.selection.height, window_unit::perPixelDown) + " px";
}

std::string selectionMetresText(const SelectionSummary& s, bool rounded)
{
    const double scale = s.job.parameters.scale;
    const auto shown = [rounded](double metres) { return metresText(rounded ? roughly(metres) : metres); };
    return shown(s.job.selection.width * scale) + " x " + shown(s.job.selection.height * scale) + " m";
}

std::string cellsText(const SelectionSummary& s)
{
    if (s.refusal)
        return "export impossible";
    return countText(s.grid.cells()) + (s.grid.cells() == 1 ? " cellule" : " cellules");
}

std::string estimateText(const SelectionSummary::FormatSize& format)
{
    return format.size ? sizeText(format.size->typical) : "impossible";
}

std::vector<std::string> fileSizeLines(const SelectionSummary& s)
{
    std::vector<std::string> lines;
    for (const SelectionSummary::FormatSize& format : s.sizes)
        lines.push_back(format.caption + " : " + estimateText(format));
    return lines;
}
