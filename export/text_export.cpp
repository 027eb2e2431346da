#include "text_export.h"

#include "relief/text_format_writer.h"
#include "relief/text_size_estimate.h"

#include <optional>

namespace {

class TextExport : public ReliefWriter {
public:
    TextExport(const ExportFormat& format, TextOutput& out, double scale)
        : format_(format), scale_(scale), writer_(format, out, scale)
    {
    }

    const BandedBody* bands(const CellTable& cells) override
    {
        body_.emplace(format_, cells, scale_);
        return &*body_;
    }
    bool begin() override
    {
        writer_.writeHead();
        return true;
    }
    CellConsumer& cells() override { return writer_; }
    FinishResult finish(LongWork&) override
    {
        writer_.writeTail();
        return FinishResult::Done;
    }

private:
    const ExportFormat& format_;
    const double scale_;
    TextFormatWriter writer_;
    std::optional<TextFormatBody> body_;
};

}  // namespace

FormatEntry textFormatEntry(std::string_view id, std::string_view menuCaption, std::string_view extension,
                            const ExportFormat& format, const NumberRange& numbers)
{
    FormatEntry entry;
    entry.id = id;
    entry.menuCaption = menuCaption;
    entry.fileFilter = format.fileFilter;
    entry.extension = extension;
    entry.depthFloor = format.depthFloor;
    entry.numbers = numbers;
    entry.estimateSize = [&format](const SizeQuestion& q) { return estimateTextSize(format, q); };
    entry.makeWriter = [&format](const ExportJob& job, const FormatOptions&, TextOutput& out) {
        return std::make_unique<TextExport>(format, out, job.parameters.scale);
    };
    return entry;
}
