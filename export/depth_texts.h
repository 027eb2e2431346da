#pragma once

// The OBJ text of a point's Z, ending its "v" line: the shortest text that
// reads back to the same number of millimetres, then CRLF. A relief's
// depths take few values (they come from gray levels), so each text is made
// once and kept, keyed by the exact bits of the number, in a table of fixed
// size.

#include <charconv>
#include <cstdint>
#include <cstring>
#include <vector>

class DepthTexts {
public:
    static constexpr std::size_t slot = 32;  // bytes copied per depth

    DepthTexts() : entries_(entryCount) {}

    // Copies a whole slot, so `p` needs that much room.
    char* put(char* p, double millimetres)
    {
        std::uint64_t key;
        std::memcpy(&key, &millimetres, sizeof key);
        Entry& e = entries_[(key * 0x9E3779B97F4A7C15ULL) >> (64 - entryBits)];
        if (e.length == 0 || e.key != key) {
            char* end = std::to_chars(e.text, e.text + 24, millimetres).ptr;
            *end++ = '\r';
            *end++ = '\n';
            e.length = static_cast<std::uint32_t>(end - e.text);
            e.key = key;
        }
        std::memcpy(p, e.text, slot);
        return p + e.length;
    }

private:
    static constexpr int entryBits = 10;
    static constexpr std::size_t entryCount = std::size_t(1) << entryBits;
    struct Entry {
        char text[slot] = {};
        std::uint64_t key = 0;
        std::uint32_t length = 0;  // 0: empty
    };
    std::vector<Entry> entries_;
};
