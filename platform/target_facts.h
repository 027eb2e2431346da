#pragma once

#include <cstdint>
#include <optional>
#include <string>

// What an export asks of the file system before it writes: room on the
// target's file system, and whether the target is a file it must not touch.
class TargetFacts {
public:
    virtual ~TargetFacts() = default;
    // Bytes free for the program on the file system that would hold `path`.
    virtual std::optional<std::uint64_t> freeBytes(const std::string& path) const = 0;
    // Whether the two paths name the same existing file.
    virtual bool sameFile(const std::string& a, const std::string& b) const = 0;
};

// The running system's answers.
class SystemTargetFacts : public TargetFacts {
public:
    std::optional<std::uint64_t> freeBytes(const std::string& path) const override;
    bool sameFile(const std::string& a, const std::string& b) const override;
};
