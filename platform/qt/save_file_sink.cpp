#include "save_file_sink.h"

// A short write (disk full, file size limit) sets no error of its own: write
// the rest until the system refuses, so that its reason is reported.
bool SaveFileSink::write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const qint64 written = file_.write(bytes.data(), static_cast<qint64>(bytes.size()));
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
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
    return sink;
}
