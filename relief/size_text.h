#pragma once

#include <cstdint>
#include <string>

// A count in French, thousands set apart by a narrow space: "10 000".
// UINT64_MAX, which stands for as many or more, is "plus de" it.
std::string countText(std::uint64_t count);

// A file or memory size in French units, three significant digits and a
// decimal comma: "512 octets", "12,3 ko", "5,00 Mo", "1,25 Go"; "plus de"
// at UINT64_MAX.
std::string sizeText(std::uint64_t bytes);

// A length in metres as the user reads it: up to 6 significant digits, a
// decimal comma, trailing zeros dropped ("0,5", "12,25", "0,0012").
std::string metresText(double metres);
