#pragma once

#include "export_format.h"
#include "platform/text_output.h"

#include <string>

// Writes corners in a format's corner style.
class CornerWriter {
public:
    explicit CornerWriter(const CornerStyle& style) : style_(style) {}

    void write(TextOutput& out, double x, double y, double scale, double depth, bool lastCorner);

private:
    const CornerStyle& style_;
    std::string line_;
};
