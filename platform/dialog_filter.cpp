#include "dialog_filter.h"

#include <vector>

std::string toDialogFilter(std::string_view barSeparated)
{
    std::vector<std::string_view> parts;
    while (!barSeparated.empty()) {
        const auto bar = barSeparated.find('|');
        parts.push_back(barSeparated.substr(0, bar));
        barSeparated.remove_prefix(bar == std::string_view::npos ? barSeparated.size() : bar + 1);
    }
    std::string filter;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (!filter.empty())
            filter += ";;";
        std::string entry(parts[i]);
        // Appended piece by piece: GCC 12 sees a false overlap in "(" + text + ")".
        std::string shown(1, '(');
        shown += parts[i + 1];
        shown += ')';
        if (entry.find(shown) == std::string::npos) {
            entry += ' ';
            entry += shown;
        }
        filter += entry;
    }
    return filter;
}
