#pragma once

#include "band_writing.h"
#include "cell_table.h"
#include "corner_writer.h"
#include "export_format.h"
#include "relief_walk.h"

#include <string>

// Writes a text format from the walk's cells: the head, then for every cell
// its opening, its four corners and its closing, then the tail.
class TextFormatWriter : public CellConsumer {
public:
    TextFormatWriter(const ExportFormat& format, TextOutput& out, double scale);

    void writeHead();
    bool cell(const ReliefCell& cell) override;
    void writeTail();

private:
    const ExportFormat& format_;
    TextOutput& out_;
    const double scale_;
    CornerWriter corners_;
    // Each cell's fixed lines as the one block of text they make.
    const std::string cellOpening_;
    const std::string cellClosing_;
};

// A text format's cells as bands of rows, each thread with a writer (and
// corner texts) of its own: the texts a writer keeps change its speed only,
// never its bytes, so the bands join into the one writer's file.
class TextFormatBody : public BandedBody {
public:
    TextFormatBody(const ExportFormat& format, const CellTable& cells, double scale)
        : format_(format), cells_(cells), scale_(scale)
    {
    }

    std::vector<BandPart> parts() const override;
    std::unique_ptr<BandFormatter> formatter(TextOutput& out) const override;

private:
    const ExportFormat& format_;
    const CellTable& cells_;
    const double scale_;
};
