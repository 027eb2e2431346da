#pragma once

#include "export/standard_formats.h"
#include "print3mf/threemf_format.h"
#include "step/step_format.h"

// Every format the programs register, 3MF and STEP included, in the same
// order, added once per test program however many tests ask.
inline void addEveryFormat()
{
    static const bool added = (addThreeMfFormat(formatRegistry()), addStepFormat(formatRegistry()), true);
    (void)added;
}
