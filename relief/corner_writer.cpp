#include "corner_writer.h"

#include "number_text.h"

void CornerWriter::write(TextOutput& out, double x, double y, double scale, double depth, bool lastCorner)
{
    line_.clear();
    line_ += style_.xLabel;
    appendNumberText(line_, scale * x, style_.decimalPoint);
    line_ += style_.yLabel;
    const std::size_t yStart = line_.size();
    appendNumberText(line_, scale * y, style_.decimalPoint);
    line_.resize(yStart + cutToEight(std::string_view(line_).substr(yStart)).size());
    line_ += style_.zLabel;
    appendNumberText(line_, depth, style_.decimalPoint);
    line_ += lastCorner ? style_.afterLastZ : style_.afterZ;
    if (style_.endsLine)
        out.WriteLine(line_);
    else
        out.Write(line_);
}
