#pragma once

#include "byte_sink.h"
#include "output_target.h"

// Writes a temporary file beside the target, which replaces it only on
// commit(), once every byte is written and on the disk; destroyed without
// commit, it removes the temporary file and leaves the target as it was. A
// replaced file keeps its owner, group and mode where the system permits.
//
// Written with the system's calls rather than QSaveFile, which keeps bytes
// in a buffer whose failed flush it does not report, follows any link,
// drops the owner and gives its reasons in English.
class ReplacingFileSink : public ByteSink {
public:
    ReplacingFileSink() = default;
    ~ReplacingFileSink() override;
    ReplacingFileSink(const ReplacingFileSink&) = delete;
    ReplacingFileSink& operator=(const ReplacingFileSink&) = delete;

    // Makes the temporary file for `path`; false with errorText() when the
    // path is refused or the folder takes no new file.
    bool open(const std::string& path);

    bool write(std::string_view bytes) override;
    bool writePieces(const std::string_view* pieces, std::size_t count) override;
    bool commit() override;
    std::string errorText() const override { return error_; }

private:
    bool fail(const std::string& reason);
    void discard();

    OutputTarget target_;
    std::string temporary_;
    int descriptor_ = -1;
    long long written_ = 0;
    bool failed_ = false;
    std::string error_;
};

// Opens a ReplacingFileSink at the path, written from a thread of its own in
// aligned writes of 8 MB.
class ReplacingFileOpener : public OutputOpener {
public:
    std::unique_ptr<ByteSink> open(const std::string& path, std::string& error) override;
};
