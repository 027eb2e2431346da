#pragma once

#include "batch_arguments.h"

#include "platform/picture.h"

#include <memory>

// Writes the shaded picture of the relief that --preview (or the "preview"
// command) asks for: the fields read as the export reads them, without the
// VRML depth floor. Returns the exit status.
int writeBatchPreview(const BatchArguments& arguments, std::shared_ptr<const Picture> picture);
