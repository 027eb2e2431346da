#pragma once

#include "relief/export_format.h"
#include "relief/format_registry.h"

#include <string_view>

// Every format the program knows, in the order the "Export" menu lists them:
// the ones of export/ from the start; a format that needs a heavy library
// adds itself from its own (addStepFormat).
FormatRegistry& formatRegistry();

// The pieces (head, cell lines, tail...) of a text format by its id, for the
// plain reference writer of the checks; null for the other formats.
const ExportFormat* textFormatPieces(std::string_view id);
