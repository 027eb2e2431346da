#pragma once

#include "export_format.h"
#include "export_parameters.h"
#include "platform/event_loop.h"
#include "platform/picture.h"
#include "platform/scan_window.h"
#include "platform/text_output.h"

// The gray level of a colour: its red component with the lowest bit cleared.
inline int grayLevel(std::int32_t colour)
{
    const int red = colour % 256;  // keeps the sign of a negative colour
    return red >= 0 ? red & ~1 : -((1 - red) & ~1);
}

enum class WalkResult { Completed, Abandoned, WriteFailed };

// Writes the head, walks the grid of cells over the selection row by row and
// left to right, writes every cell's corners with their depths and the
// format's cell opening and closing, plots a dot per cell, then writes the
// tail. Yields once per cell; stops when the yield says to abandon, or as
// soon as the output has failed.
WalkResult sampleRelief(const ExportFormat& format, const ExportParameters& parameters,
                        const Selection& selection, const Picture& picture, TextOutput& out,
                        EventLoop& events, ScanWindow& scan);
