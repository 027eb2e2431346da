#pragma once

// A small format added the way the README's "A new format" says, and nothing
// else touched: one line a grid point, "x y z" in metres, each number in a
// fixed width so that the file's size is known exactly. The tests register
// it to show that orvanel-batch's reading, its --help and the size tests
// take a format up from the registry alone.

#include "relief/format_entry.h"
#include "relief/point_rows.h"

#include <cstdio>

class PointLinesWriter : public ReliefWriter, PointRowConsumer {
public:
    PointLinesWriter(const ExportJob& job, TextOutput& out)
        : out_(out), rows_(job.parameters, job.selection, *this)
    {
    }
    bool begin() override { return rows_.begin(); }
    CellConsumer& cells() override { return rows_; }
    FinishResult finish(LongWork&) override { return rows_.end() ? FinishResult::Done : FinishResult::Failed; }

private:
    bool begin(const std::vector<double>& xs, std::size_t) override
    {
        xs_ = xs;
        return true;
    }
    bool row(std::size_t, double y, const double* depths) override
    {
        char line[64];
        for (std::size_t i = 0; i < xs_.size(); ++i)
            out_.write({line, std::size_t(std::snprintf(line, sizeof line, "%+.6e %+.6e %+.6e\n", xs_[i], y, depths[i]))});
        return !out_.failed();
    }
    bool end() override { return true; }

    TextOutput& out_;
    PointRowGatherer rows_;
    std::vector<double> xs_;
};

inline FormatEntry pointLinesFormat()
{
    FormatEntry entry;
    entry.id = "points";
    entry.menuCaption = "Liste de points (essai)";
    entry.fileFilter = "Liste de points (*.xyz)|*.xyz|";
    entry.extension = "xyz";
    entry.estimateSize = [](const SizeQuestion& q) {
        const std::uint64_t points = q.grid.cells() ? (q.grid.columns + 1) * (q.grid.rows + 1) : 0;
        // "+1.234567e-03" is 13 characters; a three-digit exponent makes 14.
        return SizeEstimate{points * (3 * 13 + 3), points * (3 * 14 + 3)};
    };
    entry.makeWriter = [](const ExportJob& job, const FormatOptions&, TextOutput& out) {
        return std::make_unique<PointLinesWriter>(job, out);
    };
    return entry;
}
