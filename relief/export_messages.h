#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SizeEstimate;

// The French texts the desktop program and orvanel-batch both show.

inline constexpr const char* completionMessage = "Création du fichier terminée.";

// A refusal made before the file is opened: the reason, then a line saying
// that nothing was written.
std::string refusalMessage(const std::string& reason);

// The target could not be written; `reason` is the system's, in French.
std::string writeFailureMessage(const std::string& path, std::string reason);

// The file would not fit on the target's file system: its usual size, the
// one shown before the export, then what it may reach.
std::string noRoomMessage(const std::string& path, const SizeEstimate& size, std::uint64_t free);

// Said of a very large file before it is written.
std::string largeFileStatement(std::uint64_t typicalBytes, std::uint64_t cells);

// The export would overwrite the picture it reads.
std::string sameAsPictureMessage(const std::string& path);

// Above this typical size the desktop program asks first.
inline constexpr std::uint64_t largeFileBytes = 1000000000;
