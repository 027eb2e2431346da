// Gives arbitrary bytes to the picture loader as a file, the way the image
// import reads whatever the user picks, and when a picture comes out, runs a
// small export over it into memory. Never a crash; a picture beyond Qt's
// allocation limit is refused by the loader (run with -rss_limit_mb and
// -malloc_limit_mb so that unbounded memory shows as a failure).
//
// The first byte picks the file name's extension, since the readers try the
// format the extension names first (and some formats, TGA among them, are
// known by their extension only); the rest is the file.

#include "platform/qt/picture_loader.h"
#include "platform/string_sink.h"
#include "relief/export_command.h"
#include "export/standard_formats.h"
#include "platform/window_unit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryFile>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

QCoreApplication* application = nullptr;

constexpr const char* extensions[] = {"",     ".png", ".bmp", ".gif",  ".jpg", ".tga", ".ico", ".cur",
                                      ".wbmp", ".tif", ".webp", ".icns", ".mng", ".ppm", ".pgm", ".pbm",
                                      ".xpm", ".xbm", ".txt"};
constexpr std::size_t extensionCount = sizeof extensions / sizeof extensions[0];
QTemporaryFile* pictureFiles[extensionCount] = {};

struct Steady : EventLoop {
    bool yield() override { return true; }
};
struct NoScan : CellProgress {
    int dots = 0;
    void dot(double, double) override { ++dots; }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // The image readers complain about every broken file; nobody reads that here.
    qInstallMessageHandler(quiet);
    // The image format plugins are found through the application's library paths.
    application = new QCoreApplication(*argc, *argv);
    for (std::size_t i = 0; i < extensionCount; ++i) {
        pictureFiles[i] = new QTemporaryFile(QDir::tempPath() + "/orvanel-fuzz-XXXXXX" + extensions[i]);
        if (!pictureFiles[i]->open()) {
            std::fprintf(stderr, "cannot create a temporary file\n");
            std::abort();
        }
        pictureFiles[i]->close();
    }
    if (QImageReader::supportedImageFormats().isEmpty()) {
        std::fprintf(stderr, "no image format plugin found\n");
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QString path = pictureFiles[data[0] % extensionCount]->fileName();
    ++data;
    --size;
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        if (file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) != qint64(size))
            std::abort();
    }
    // Within the fuzzer's own memory limit, whatever the machine has.
    const LoadedPicture loaded = loadPicture(QFile::encodeName(path).toStdString(), 256u << 20);
    if (!loaded.loaded())
        return 0;
    const Picture& picture = *loaded.picture;
    if (picture.width() != loaded.image.width() || picture.height() != loaded.image.height())
        std::abort();
    // The heights a relief would take, down to the last pixel of a deep plane.
    for (const int row : {0, picture.height() - 1})
        for (const int column : {0, picture.width() - 1})
            if (const double level = picture.luminance(column, row); !(level >= 0 && level <= 1))
                std::abort();

    // A walk of at most 8 x 8 cells over the whole picture.
    Selection selection;
    selection.width = static_cast<float>(picture.width() * window_unit::perPixelAcross);
    selection.height = static_cast<float>(picture.height() * window_unit::perPixelDown);
    ExportParameters parameters;
    parameters.scale = 0.001;
    parameters.maxDepth = 0.5;
    parameters.step = std::max(selection.width, selection.height) / 8.0;

    StringSink sink;
    Steady events;
    NoScan scan;
    const FormatEntry& format = *formatRegistry().find(size % 2 ? "ascii" : "vrml2");
    const ExportJob job{parameters, selection, std::make_shared<const Picture>(picture)};
    SilentWork work;
    if (writeExport(format, job, {}, sink, events, scan, work).outcome != ExportOutcome::Written)
        std::abort();
    if (scan.dots > 64 || sink.committed.empty())
        std::abort();
    return 0;
}
