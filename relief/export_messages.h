#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The French texts the desktop program and orvanel-batch both show.

inline constexpr const char* completionMessage = "Création du fichier terminée.";

// The target could not be written; `reason` is the system's, in French.
std::string writeFailureMessage(const std::string& path, std::string reason);

// Asked before an export whose result may not be what the user thinks.
std::string doubtsQuestion(const std::vector<std::string>& doubts);

// The file would not fit on the target's file system.
std::string noRoomMessage(const std::string& path, std::uint64_t needed, std::uint64_t free);

// Asked before writing a very large file.
std::string largeFileQuestion(std::uint64_t typicalBytes, std::uint64_t cells);

// The export would overwrite the picture it reads.
std::string sameAsPictureMessage(const std::string& path);

// Above this typical size the desktop program asks first.
inline constexpr std::uint64_t largeFileBytes = 1000000000;
