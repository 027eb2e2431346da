#include "batch_export.h"

#include "console_facilities.h"
#include "walk_cell_count.h"

#include "export/ascii_export.h"
#include "export/vrml1_export.h"
#include "export/vrml2_export.h"
#include "platform/qt/save_file_sink.h"
#include "platform/window_unit.h"

const ExportFormat& exportFormatOf(BatchFormat format)
{
    switch (format) {
    case BatchFormat::Vrml1:
        return vrml1Export();
    case BatchFormat::Vrml2:
        return vrml2Export();
    case BatchFormat::Ascii:
        break;
    }
    return asciiExport();
}

ExportRequest exportRequestFor(const BatchArguments& arguments, std::shared_ptr<const Picture> picture)
{
    SelectionRectangle r;
    if (arguments.rectangle)
        r = *arguments.rectangle;
    else if (picture)
        r = {0, 0, picture->width() * window_unit::perPixelAcross, picture->height() * window_unit::perPixelDown};

    ExportRequest request;
    request.fields = {arguments.depth, arguments.scale, arguments.step};
    // The edge lines hold single precision, as the desktop program's do.
    request.lines.line4X1 = static_cast<float>(r.left);
    request.lines.line1X1 = static_cast<float>(r.left + r.width);
    request.lines.line3Y1 = static_cast<float>(r.top);
    request.lines.line2Y1 = static_cast<float>(r.top + r.height);
    request.picture = std::move(picture);
    return request;
}

int runBatchExport(const BatchArguments& arguments, std::shared_ptr<const Picture> picture,
                   std::FILE* progressTerminal)
{
    const ExportFormat& format = exportFormatOf(arguments.format);
    const ExportRequest request = exportRequestFor(arguments, std::move(picture));
    const ParameterReading reading = readParameters(request.fields, format.depthFloor);
    const std::uint64_t cells = walkCellCount(reading.parameters, selectionFromLines(request.lines));

    GivenOutputPath dialog(arguments.output);
    SaveFileOpener files;
    NoMainWindow mainWindow;
    TerminalProgress progress(progressTerminal, cells);
    ConsoleMessages messages(progress);
    InterruptibleEvents events;
    ExportFacilities facilities{dialog, files, mainWindow, progress, messages, events};

    switch (runExport(format, request, facilities)) {
    case ExportOutcome::Written:
        return exit_status::written;
    case ExportOutcome::Refused:
        return exit_status::refused;
    case ExportOutcome::Abandoned:
        return exit_status::interruptedBy(interruptingSignal());
    case ExportOutcome::Cancelled:  // the path is always given
    case ExportOutcome::Failed:
        break;
    }
    return exit_status::writeFailed;
}
