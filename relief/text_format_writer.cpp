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
        corners_.write(out_, c.column + corner % 2, x, y, scale_, c.depths[corner], x == c.right && y == c.bottom);
    }
    out_.write(cellClosing_);
    return !out_.failed();
}

void TextFormatWriter::writeTail()
{
    out_.write(joinLines(format_.tail));
}

namespace {

class TextBandFormatter : public BandFormatter {
public:
    TextBandFormatter(const ExportFormat& format, TextOutput& out, const CellTable& cells, double scale)
        : writer_(format, out, scale), cells_(cells)
    {
    }

    bool write(std::size_t, std::uint64_t first, std::uint64_t end) override
    {
        const auto walk = [this](std::uint64_t row, std::uint64_t from, std::uint64_t to) {
            return cells_.walkRow(row, from, to, writer_);
        };
        return forEachRowRun(first, end, cells_.columns(), walk);
    }

private:
    TextFormatWriter writer_;
    const CellTable& cells_;
};

}  // namespace

std::vector<BandPart> TextFormatBody::parts() const
{
    const double cellBytes =
        double(joinLines(format_.cellOpening).size() + joinLines(format_.cellClosing).size()) + 4 * 48;
    return {{cells_.rows(), cells_.columns(), cellBytes, true}};
}

std::unique_ptr<BandFormatter> TextFormatBody::formatter(TextOutput& out) const
{
    return std::make_unique<TextBandFormatter>(format_, out, cells_, scale_);
}
