#pragma once

#include <string>

// Whether writing through either path would reach the same file, whatever
// the spelling or the links: the same existing file (same device and inode),
// or, for a file yet to be made, the same name in the same folder once the
// links at the end are followed. False when either cannot be looked up.
bool sameFile(const std::string& a, const std::string& b);
