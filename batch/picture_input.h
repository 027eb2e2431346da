#pragma once

#include "platform/picture.h"

#include <memory>
#include <string>

// The command line's picture, read whole, or null once the French reason is
// on the standard error; `failureStatus` then holds the exit status: 2 for a
// name that cannot be used as given, 3 for the picture itself.
std::shared_ptr<const Picture> loadCommandLinePicture(const std::string& path, int& failureStatus);
