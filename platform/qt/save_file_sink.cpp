#include "save_file_sink.h"

bool SaveFileSink::write(std::string_view bytes)
{
    return file_.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
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
