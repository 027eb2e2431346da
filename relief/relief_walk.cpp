#include "relief_walk.h"

#include "corner_depth.h"
#include "grid_axis.h"

WalkBounds walkBounds(const ExportParameters& p, const Selection& s)
{
    const double left = s.left;
    const double top = s.top;
    return {left, top, (left + double(s.width)) - p.step, (top + double(s.height)) - p.step, p.step};
}

GridSize walkGridSize(const ExportParameters& parameters, const Selection& selection)
{
    const WalkBounds b = walkBounds(parameters, selection);
    GridSize size;
    size.columns = countPositions(b.left, b.xBound, b.step);
    // Without a column the walk takes no row at all.
    if (size.columns > 0)
        size.rows = countPositions(b.top, b.yBound, b.step);
    return size;
}

std::uint64_t walkCellCount(const ExportParameters& parameters, const Selection& selection)
{
    return walkGridSize(parameters, selection).cells();
}

WalkResult walkRelief(const ExportParameters& parameters, const Selection& selection, const Picture& picture,
                      EventLoop& events, std::initializer_list<CellConsumer*> consumers)
{
    const WalkBounds b = walkBounds(parameters, selection);
    const CornerDepth depths(parameters.maxDepth);
    // Rows are walked only when a row has a cell: rows without one never
    // yield, so a tall selection narrower than a step would loop over its
    // rows without end.
    if (!GridAxis(b.left, b.xBound, b.step).more())
        return WalkResult::Completed;
    ReliefCell cell{};
    for (GridAxis rows(b.top, b.yBound, b.step); rows.more(); rows.advance(), ++cell.row) {
        cell.y = rows.at();
        cell.bottom = rows.next();
        const int pixelRows[] = {picture.rowOf(cell.y), picture.rowOf(cell.bottom)};
        cell.column = 0;
        for (GridAxis columns(b.left, b.xBound, b.step); columns.more(); ++cell.column) {
            if (!events.yield())
                return WalkResult::Abandoned;
            cell.x = columns.at();
            cell.right = columns.next();
            // The pixels met by this cell: columns of x, right and the
            // right-hand neighbour one step further.
            const int pixelColumns[] = {picture.columnOf(cell.x), picture.columnOf(cell.right),
                                        picture.columnOf(cell.right + b.step)};
            const bool filtered = cell.right < b.xBound;
            for (int r = 0; r < 2; ++r) {
                const int row = pixelRows[r];
                const int left = grayLevel(picture.colourAtPixel(pixelColumns[0], row));
                const int centre = grayLevel(picture.colourAtPixel(pixelColumns[1], row));
                cell.depths[2 * r] = depths.plain(left);
                cell.depths[2 * r + 1] =
                    filtered ? depths.filtered(left, centre, grayLevel(picture.colourAtPixel(pixelColumns[2], row)))
                             : depths.plain(centre);
            }
            columns.advance();
            cell.lastOfRow = !columns.more();
            for (CellConsumer* consumer : consumers)
                if (!consumer->cell(cell))
                    return WalkResult::Stopped;
        }
    }
    return WalkResult::Completed;
}
