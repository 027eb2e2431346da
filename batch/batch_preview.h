#pragma once

#include "batch_arguments.h"

#include "platform/picture.h"

#include <memory>
#include <optional>
#include <string>

// The shaded picture of the relief that --preview (or the "preview" command)
// asks for, as PNG bytes: the fields read as the export reads them, without
// the VRML depth floor. Checked, like an export, before anything of the run
// is written: null once the French reason is on the standard error,
// `failureStatus` then holding the exit status.
std::optional<std::string> makeBatchPreview(const BatchArguments& arguments, std::shared_ptr<const Picture> picture,
                                            int& failureStatus);

// Writes the picture's bytes where --preview says, as an export is written;
// returns the exit status.
int writeBatchPreview(const BatchArguments& arguments, const std::string& png);
