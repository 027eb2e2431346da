#pragma once

#include "relief/export_format.h"
#include "relief/format_entry.h"

// The registry entry of a text format: written straight from the walk's
// cells, its size estimated from its texts; `numbers` what its readers take.
FormatEntry textFormatEntry(std::string_view id, std::string_view menuCaption, std::string_view extension,
                            const ExportFormat& format, const NumberRange& numbers);
