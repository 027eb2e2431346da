#pragma once

// Reading mesh files back in tests: an outside program's report on the
// bytes, and a binary STL's triangles.

#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// Runs a program on the bytes saved in a file; its standard output and errors.
inline std::string runOn(const std::string& command, const std::string& bytes, const char* extension,
                         const char* after = "")
{
    const auto path = std::filesystem::temp_directory_path() /
                      ("orvanel-mesh-test-" + std::to_string(::getpid()) + extension);
    std::ofstream(path, std::ios::binary) << bytes;
    std::string text;
    if (FILE* p = ::popen((command + " '" + path.string() + "' " + after + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;)
            text.append(buffer, n);
        ::pclose(p);
    }
    std::filesystem::remove(path);
    return text;
}

// A binary STL's triangles, each as three corners made from {x, y, z}.
template <typename Triangle>
std::vector<Triangle> stlTriangles(const std::string& bytes)
{
    std::uint32_t count = 0;
    std::memcpy(&count, bytes.data() + 80, 4);
    std::vector<Triangle> triangles(count);
    for (std::uint32_t t = 0; t < count; ++t)
        for (int k = 0; k < 3; ++k) {
            float v[3];
            std::memcpy(v, bytes.data() + 84 + 50 * t + 12 + 12 * k, 12);
            triangles[t][k] = {v[0], v[1], v[2]};
        }
    return triangles;
}
