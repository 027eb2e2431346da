#pragma once

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
