#pragma once

#include "format_entry.h"

#include <vector>

// The formats in the order the "Export" menu lists them. The formats that
// need no heavy library are there from the start; one that does adds its
// entry from its own library when the program starts.
class FormatRegistry {
public:
    void add(const FormatEntry& entry);
    const FormatEntry* find(std::string_view id) const;
    const std::vector<FormatEntry>& all() const { return entries_; }

private:
    std::vector<FormatEntry> entries_;
};

FormatRegistry& formatRegistry();
