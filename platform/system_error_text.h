#pragma once

#include <string>

// The system's reason for a failure (an errno value) in French, whatever the
// locale: messages never fall back to English.
std::string systemErrorText(int errorNumber);
