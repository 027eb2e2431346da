// The progress bar's text.

#include "progress_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Cells, percentage and the time left at the pace so far, on an eighty-column terminal.
TEST(ProgressLine, ShowsCellsPercentageAndTheTimeLeft)
{
    const struct {
        std::uint64_t done, total;
        double seconds;
        std::vector<const char*> shown;
    } cases[] = {
        {250, 1000, 10.0, {"[#####---------------]", " 25 %", "250/1000 cellules", "reste 0:30"}},
        {0, 1000, 0.6, {"reste ?"}},  // before the first cell
        {1000, 1000, 42.0, {"[####################] 100 %", "reste 0:00"}},
    };
    for (const auto& c : cases)
        for (const char* part : c.shown)
            EXPECT_NE(progressLine(c.done, c.total, c.seconds).find(part), std::string::npos) << part;
    // An eighth done in 400 hours: some 2800 hours left.
    EXPECT_LE(progressLine(1234567890, 9999999999, 400 * 3600.0).size(), 79u);
}

TEST(DurationText, MinutesAndSecondsThenHours)
{
    // Rounded up: never "0:00" while work is left.
    const std::pair<double, const char*> cases[] = {
        {0, "0:00"}, {0.2, "0:01"}, {65, "1:05"}, {3599, "59:59"}, {3600 * 2 + 61, "2:01:01"}};
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(durationText(seconds), text) << seconds;
}

}  // namespace
