#pragma once

#include <exception>
#include <string>

class Standard_Failure;

// Why OpenCASCADE gave up, as a French phrase to follow "a échoué : ":
// its exceptions carry English messages and a type; the type is said in
// French, the message is left out.
std::string failureText(const Standard_Failure& failure);

// The same for a standard exception: running out of memory is the one
// OpenCASCADE's callers meet.
std::string failureText(const std::exception& failure);
