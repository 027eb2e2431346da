#pragma once

#include "relief/band_writing.h"

// A mesh file: what comes before its bands and what follows them (the
// closure of a solid, which needs only the grid's outline).
class MeshBody : public BandedBody {
public:
    virtual void writeHead(TextOutput& out) const = 0;
    virtual void writeTail(TextOutput& out) const = 0;
};

// The whole file, its bands formatted on `threads` threads (0: one per core).
inline bool writeMesh(const MeshBody& body, unsigned threads, TextOutput& out)
{
    body.writeHead(out);
    if (writeBands(body, threads, out) != WalkResult::Completed)
        return false;
    body.writeTail(out);
    return !out.failed();
}
