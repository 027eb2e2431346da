#pragma once

#include "export/standard_formats.h"
#include "step/step_format.h"

// Every format the programs register, STEP included, added once per test
// program however many tests ask.
inline void addEveryFormat()
{
    static const bool added = (addStepFormat(formatRegistry()), true);
    (void)added;
}
