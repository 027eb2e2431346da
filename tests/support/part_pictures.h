#pragma once

// Pictures and jobs for the part placed as slicers expect it ("Pièce
// posée"): pictures of 16-bit luminance as deep files give them, the job
// over the whole picture, and its file written into memory.

#include "support/fakes.h"

#include "platform/window_unit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

// A picture whose luminance is `level(column, row)` (0 to 1) at 16 bits,
// its 8-bit colours the same grey.
inline std::shared_ptr<const Picture> deepPicture(int width, int height,
                                                  const std::function<double(int, int)>& level)
{
    auto colours = std::make_shared<std::vector<std::uint32_t>>();
    auto plane = std::make_shared<Picture::LuminancePlane>();
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column) {
            const auto deep = static_cast<std::uint16_t>(std::lround(65535 * level(column, row)));
            const std::uint32_t grey = deep >> 8;
            plane->push_back(deep);
            colours->push_back(grey | grey << 8 | grey << 16);
        }
    return std::make_shared<const Picture>(width, height, colours->data(), std::ptrdiff_t(width) * 4, colours, plane);
}

// Black at the top-left pixel to white at the bottom-right, a level a pixel
// along the rows: as many heights as pixels.
inline std::shared_ptr<const Picture> deepGradient(int width, int height)
{
    return deepPicture(width, height, [=](int column, int row) {
        return double(row * width + column) / double(width * height - 1);
    });
}

// The whole picture at the fields' defaults.
inline ExportJob wholePictureJob(std::shared_ptr<const Picture> picture)
{
    const Selection whole{0, 0, float(picture->width() * window_unit::perPixelAcross),
                          float(picture->height() * window_unit::perPixelDown)};
    return {{0.001, 0.5, 50}, whole, std::move(picture)};
}

// The format's file, as the export command writes it.
inline std::string writtenFile(const FormatEntry& format, const ExportJob& job, const FormatOptions& options)
{
    StringSink sink;
    ScriptedEvents events;
    RecordingScan dots;
    SilentWork work;
    EXPECT_EQ(writeExport(format, job, options, sink, events, dots, work).outcome, ExportOutcome::Written);
    return sink.committed;
}
