#pragma once

#include "relief/format_registry.h"

// Adds "3mf" (the STL's mesh in a 3MF archive, made by lib3mf) to the
// registry, after the formats already there: added before STEP, it follows
// OBJ in the menu.
void addThreeMfFormat(FormatRegistry& registry);
