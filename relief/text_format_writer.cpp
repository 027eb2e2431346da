#include "text_format_writer.h"

namespace {

std::string joinLines(const std::vector<std::string_view>& lines)
{
    std::string block;
    for (std::string_view line : lines) {
        block += line;
        block += "\r\n";
    }
    return block;
}

}  // namespace

TextFormatWriter::TextFormatWriter(const ExportFormat& format, TextOutput& out, double scale)
    : format_(format),
      out_(out),
      scale_(scale),
      corners_(format.corner),
      cellOpening_(joinLines(format.cellOpening)),
      cellClosing_(joinLines(format.cellClosing))
{
}

void TextFormatWriter::writeHead()
{
    out_.write(joinLines(format_.head));
}

bool TextFormatWriter::cell(const ReliefCell& c)
{
    out_.write(cellOpening_);
    const double xs[] = {c.x, c.right};
    const double ys[] = {c.y, c.bottom};
    for (int corner = 0; corner < 4; ++corner) {
        const double x = xs[corner % 2];
        const double y = ys[corner / 2];
        corners_.write(out_, x, y, scale_, c.depths[corner], x == c.right && y == c.bottom);
    }
    out_.write(cellClosing_);
    return !out_.failed();
}

void TextFormatWriter::writeTail()
{
    out_.write(joinLines(format_.tail));
}
