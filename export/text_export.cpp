#include "text_export.h"

#include "relief/text_format_writer.h"
#include "relief/text_size_estimate.h"

namespace {

class TextExport : public ReliefWriter {
public:
    TextExport(const ExportFormat& format, TextOutput& out, double scale) : writer_(format, out, scale) {}

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
    TextFormatWriter writer_;
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
