#include "save_file_sink.h"

#include "platform/background_sink.h"

#ifdef __linux__
#include <fcntl.h>
#endif

// A short write (disk full, file size limit) sets no error of its own: write
// the rest until the system refuses, so that its reason is reported.
bool SaveFileSink::write(std::string_view bytes)
{
    const qint64 start = file_.pos();
    while (!bytes.empty()) {
        const qint64 written = file_.write(bytes.data(), static_cast<qint64>(bytes.size()));
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
#ifdef __linux__
    // Start putting these bytes on the disk now, without waiting for it: the
    // sync before the file replaces the target then finds little left to do.
    if (file_.flush())
        sync_file_range(file_.handle(), start, file_.pos() - start, SYNC_FILE_RANGE_WRITE);
#endif
    return true;
}

bool SaveFileSink::commit()
{
    return file_.commit();
}

std::unique_ptr<ByteSink> SaveFileOpener::open(const std::string& path, std::string& error)
{
    if (path.empty()) {
        error = "nom de fichier vide";
        return nullptr;
    }
    auto sink = std::make_unique<SaveFileSink>(QString::fromStdString(path));
    if (!sink->open()) {
        error = sink->errorText();
        return nullptr;
    }
    // The file is written while the export goes on.
    return std::make_unique<BackgroundSink>(std::move(sink));
}
