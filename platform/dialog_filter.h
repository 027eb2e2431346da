#pragma once

#include <string>
#include <string_view>

// Turns a "description|pattern|description|pattern|" filter into the
// "description (pattern);;..." form of the desktop's file dialogs. A
// description that already shows its pattern in parentheses is kept as it is.
std::string toDialogFilter(std::string_view barSeparated);
