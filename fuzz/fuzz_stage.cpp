// Runs a whole export command over in-memory fakes with random field texts,
// random edge-line coordinates and a small random picture, for each of the
// three formats. The command must end (the walk is abandoned after a cap on
// the number of cells and such inputs are skipped), and every file it writes
// must have the format's own number of CRLF-ended lines for its n cells:
// ASCII 5 + 4n, VRML 1.0 10n + 26, VRML 2.0 18n + 10, starting with the head
// and ending with the tail.
//
// Input: one byte picks the format, two give the picture's size (0 means no
// picture), 3 bytes per pixel, then per edge line one mode byte and four value
// bytes, and the rest is the three field texts separated by '|'.

#include "relief/export_command.h"
#include "support/fakes.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

constexpr int cellCap = 400;

class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint32_t word()
    {
        std::uint32_t w = 0;
        for (int i = 0; i < 4; ++i)
            w = w << 8 | byte();
        return w;
    }
    std::string_view rest() const
    {
        return pos_ < size_ ? std::string_view(reinterpret_cast<const char*>(data_) + pos_, size_ - pos_)
                            : std::string_view();
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// A coordinate as the mouse gives them (a whole or quarter window unit in the
// picture's range) or any finite float.
bool coordinate(Bytes& in, float& value)
{
    const std::uint8_t mode = in.byte();
    const std::uint32_t w = in.word();
    if (mode & 1) {
        std::memcpy(&value, &w, sizeof value);
        return std::isfinite(value);
    }
    value = static_cast<float>(static_cast<std::int16_t>(w & 0xFFFF)) / (mode & 2 ? 4.0f : 1.0f);
    return true;
}

[[noreturn]] void fail(const char* what, const std::string& file)
{
    std::fprintf(stderr, "%s\n--- file (%zu bytes) ---\n%.2000s\n", what, file.size(), file.c_str());
    std::abort();
}

bool startsWithLines(std::string_view file, const std::vector<std::string_view>& lines)
{
    std::string expected;
    for (std::string_view l : lines)
        (expected += l) += "\r\n";
    return file.substr(0, expected.size()) == expected;
}

bool endsWithLines(std::string_view file, const std::vector<std::string_view>& lines)
{
    std::string expected;
    for (std::string_view l : lines)
        (expected += l) += "\r\n";
    return file.size() >= expected.size() && file.substr(file.size() - expected.size()) == expected;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Bytes in(data, size);
    const std::uint8_t which = in.byte() % 3;
    const FormatEntry& entry = format(which == 0 ? "ascii" : which == 1 ? "vrml1" : "vrml2");

    const int width = in.byte() % 17;
    const int height = in.byte() % 17;
    ExportRequest request;
    if (width > 0 && height > 0) {
        std::vector<std::uint32_t> colours;
        for (int i = 0; i < width * height; ++i) {
            const std::uint32_t r = in.byte(), g = in.byte(), b = in.byte();
            colours.push_back(r | g << 8 | b << 16);
        }
        request.picture = std::make_shared<Picture>(width, height, std::move(colours));
    }
    if (!coordinate(in, request.lines.rightEdge) || !coordinate(in, request.lines.leftEdge) ||
        !coordinate(in, request.lines.bottomEdge) || !coordinate(in, request.lines.topEdge))
        return 0;

    std::string_view texts = in.rest();
    std::string* fields[] = {&request.fields.depth, &request.fields.scale, &request.fields.step};
    for (std::string* field : fields) {
        const std::size_t bar = texts.find('|');
        *field = std::string(texts.substr(0, bar));
        texts = bar == std::string_view::npos ? std::string_view() : texts.substr(bar + 1);
    }

    const PreparedExport prepared = prepareExport(entry, request);
    if (prepared.refusal)
        return 0;
    StringSink sink;
    ScriptedEvents events;
    events.onYield = [](int yields) { return yields <= cellCap; };
    RecordingScan scan;
    SilentWork work;
    const ExportOutcome outcome = writeExport(entry, prepared.job, {}, sink, events, scan, work).outcome;
    if (outcome == ExportOutcome::Abandoned) {
        if (!sink.committed.empty())
            fail("a file was written by an export that did not complete", sink.committed);
        return 0;
    }
    if (outcome != ExportOutcome::Written)
        fail("the export neither wrote its file nor was refused", "");
    const std::string& file = sink.committed;

    std::size_t lines = 0;
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (file[i] == '\r') {
            if (i + 1 >= file.size() || file[i + 1] != '\n')
                fail("a CR not followed by LF", file);
            ++lines;
            ++i;
        } else if (file[i] == '\n') {
            fail("a LF without CR", file);
        }
    }
    if (file.size() < 2 || file.compare(file.size() - 2, 2, "\r\n") != 0)
        fail("the file does not end in CRLF", file);

    const std::size_t n = scan.dots.size();
    const std::size_t expected = which == 0 ? 5 + 4 * n : which == 1 ? 10 * n + 26 : 18 * n + 10;
    if (lines != expected) {
        std::fprintf(stderr, "%zu lines for %zu cells, %zu expected\n", lines, n, expected);
        fail("wrong line count", file);
    }
    // A yield per cell, and more while a band is awaited.
    if (static_cast<std::size_t>(events.yields) < n)
        fail("fewer yields than cells", file);
    const ExportFormat& pieces = *textFormatPieces(entry.id);
    if (!startsWithLines(file, pieces.head) || !endsWithLines(file, pieces.tail))
        fail("head or tail missing", file);
    return 0;
}
