#include "format_registry.h"

void FormatRegistry::add(const FormatEntry& entry)
{
    if (!find(entry.id))
        entries_.push_back(entry);
}

const FormatEntry* FormatRegistry::find(std::string_view id) const
{
    for (const FormatEntry& entry : entries_)
        if (entry.id == id)
            return &entry;
    return nullptr;
}
