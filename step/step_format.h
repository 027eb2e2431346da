#pragma once

#include "relief/format_registry.h"

// Adds "step" (one B-spline face, or the closed block it carves, in a STEP
// file) to the registry, after the formats already there.
void addStepFormat(FormatRegistry& registry);
