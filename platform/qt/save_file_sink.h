#pragma once

#include "platform/byte_sink.h"

#include <QSaveFile>

// Writes through a temporary file beside the target, which replaces the
// target only on commit(); destroyed without commit, it leaves the target as
// it was.
class SaveFileSink : public ByteSink {
public:
    explicit SaveFileSink(const QString& path) : file_(path) {}
    bool open() { return file_.open(QIODevice::WriteOnly); }

    bool write(std::string_view bytes) override;
    bool commit() override;
    std::string errorText() const override { return file_.errorString().toStdString(); }

private:
    QSaveFile file_;
};

// Opens a SaveFileSink at the path, written from a thread of its own.
class SaveFileOpener : public OutputOpener {
public:
    std::unique_ptr<ByteSink> open(const std::string& path, std::string& error) override;
};
