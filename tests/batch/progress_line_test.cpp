// The progress bar's text.

#include "progress_line.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgressLine, ShowsCellsPercentageAndTheTimeLeftAtThePaceSoFar)
{
    const std::string line = progressLine(250, 1000, 10.0);  // 10 s for a quarter: 30 s to go
    EXPECT_NE(line.find("[#####---------------]"), std::string::npos) << line;
    EXPECT_NE(line.find(" 25 %"), std::string::npos) << line;
    EXPECT_NE(line.find("250/1000 cellules"), std::string::npos) << line;
    EXPECT_NE(line.find("reste 0:30"), std::string::npos) << line;
}

TEST(ProgressLine, FitsAnEightyColumnTerminal)
{
    // An eighth done in 400 hours: some 2800 hours left.
    EXPECT_LE(progressLine(1234567890, 9999999999, 400 * 3600.0).size(), 79u);
}

TEST(ProgressLine, TimeLeftIsUnknownBeforeTheFirstCell)
{
    EXPECT_NE(progressLine(0, 1000, 0.6).find("reste ?"), std::string::npos);
}

TEST(ProgressLine, EndsFullAtTheLastCell)
{
    const std::string line = progressLine(1000, 1000, 42.0);
    EXPECT_NE(line.find("[####################] 100 %"), std::string::npos) << line;
    EXPECT_NE(line.find("reste 0:00"), std::string::npos) << line;
}

TEST(DurationText, MinutesAndSecondsThenHours)
{
    EXPECT_EQ(durationText(0), "0:00");
    EXPECT_EQ(durationText(0.2), "0:01");  // rounded up: never "0:00" while work is left
    EXPECT_EQ(durationText(65), "1:05");
    EXPECT_EQ(durationText(3599), "59:59");
    EXPECT_EQ(durationText(3600 * 2 + 61), "2:01:01");
}

}  // namespace
