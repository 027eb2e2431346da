#pragma once

#include <optional>
#include <string>

#include <sys/stat.h>

// The file an output path really names: its links followed where the
// system's protected-links rule would follow them, and only a regular file
// (or nothing yet) accepted.
struct OutputTarget {
    std::string path;              // with no link left at its end
    std::optional<struct stat> existing;  // the file there now, if any
};

// Null, with the reason in `error` (French), when the path must not be written.
std::optional<OutputTarget> findOutputTarget(const std::string& path, std::string& error);

// The folder holding `path`, as written ("." for a bare name).
std::string folderOf(const std::string& path);
