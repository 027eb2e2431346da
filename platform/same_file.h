#pragma once

#include <string>

// Whether two paths name the same existing file (same device and inode),
// following links and whatever the spelling; false when either is missing.
bool sameFile(const std::string& a, const std::string& b);
