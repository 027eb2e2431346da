#pragma once

#include "batch_arguments.h"
#include "batch_output.h"

#include "platform/picture.h"
#include "relief/export_command.h"

#include <cstdio>
#include <memory>
#include <optional>

// What the desktop export command would read if its fields held the given
// number texts and its edge lines drew the given rectangle (by default the
// whole picture) or stood where --edges puts them.
ExportRequest exportRequestFor(const BatchArguments& arguments, std::shared_ptr<const Picture> picture);

// An export read and checked, nothing written yet.
struct CheckedExport {
    const FormatEntry* format = nullptr;
    PreparedExport prepared;
    FormatOptions options;
};

// Reads and checks the export the arguments ask for, with what the desktop
// program would ask about said or refused; null once the French reason is
// on the standard error, `failureStatus` then holding the exit status.
std::optional<CheckedExport> checkBatchExport(const BatchArguments& arguments, std::shared_ptr<const Picture> picture,
                                              int& failureStatus);

// Writes the checked export and returns the exit status. The progress bar
// goes to `progressTerminal`, or nowhere when it is null; messages go to
// standard error.
int writeBatchExport(const BatchArguments& arguments, const CheckedExport& checked, std::FILE* progressTerminal);
