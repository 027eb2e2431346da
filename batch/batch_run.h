#pragma once

#include "batch_arguments.h"
#include "batch_export.h"

#include <cstdio>
#include <optional>
#include <string>

// What one command line writes: the export and the picture of the relief,
// each when asked for.
struct CheckedRun {
    BatchArguments arguments;
    std::optional<CheckedExport> exportFile;
    std::optional<std::string> previewPng;
};

// Reads the picture and checks every file of the run, so that a refusal
// comes before anything is written: null once the French reason is on the
// standard error, `failureStatus` then holding the exit status.
std::optional<CheckedRun> checkRun(const BatchArguments& arguments, int& failureStatus);

// Writes the run's files, the export first; returns the exit status. The
// progress bar goes to `progressTerminal`, or nowhere when it is null.
int writeRun(const CheckedRun& run, std::FILE* progressTerminal);
