#pragma once

#include "format_entry.h"

#include <vector>

// Formats in the order they were added, each found by its id.
class FormatRegistry {
public:
    // A second format with an id already there is a programming error:
    // std::logic_error, rather than one of the two silently unreachable.
    void add(const FormatEntry& entry);
    const FormatEntry* find(std::string_view id) const;
    const std::vector<FormatEntry>& all() const { return entries_; }

private:
    std::vector<FormatEntry> entries_;
};

