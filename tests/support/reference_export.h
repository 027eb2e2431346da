#pragma once

// The plain way of writing an export, kept as the yardstick of the fast one:
// the same grid walk, every corner's three numbers formatted one by one with
// numberToText, the Y text cut with cutToEight, then the separators of the
// format's corner style. Slow on purpose; used only to check bytes.

#include "relief/export_format.h"
#include "relief/export_parameters.h"
#include "platform/picture.h"

#include <string>

std::string referenceExport(const ExportFormat& format, const ExportParameters& parameters,
                            const Selection& selection, const Picture& picture);
