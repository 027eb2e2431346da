#include "format_registry.h"

#include <stdexcept>
#include <string>

void FormatRegistry::add(const FormatEntry& entry)
{
    if (find(entry.id))
        throw std::logic_error("format « " + std::string(entry.id) + " » registered twice");
    entries_.push_back(entry);
}

const FormatEntry* FormatRegistry::find(std::string_view id) const
{
    for (const FormatEntry& entry : entries_)
        if (entry.id == id)
            return &entry;
    return nullptr;
}
