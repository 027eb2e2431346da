#pragma once

#include "byte_sink.h"

// A sink that keeps the bytes in memory; commit() makes them visible in
// `committed`, as a file sink would make them visible at its path.
class StringSink : public ByteSink {
public:
    bool write(std::string_view bytes) override
    {
        pending.append(bytes);
        return true;
    }
    bool commit() override
    {
        committed = pending;
        return true;
    }
    std::string errorText() const override { return {}; }

    std::string pending;
    std::string committed;
};
