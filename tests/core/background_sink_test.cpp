// Writes handed to a thread of their own: same bytes, nothing committed when
// dropped (failures reported: truncation_test).

#include "platform/background_sink.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

namespace {

// Keeps what it is given; fails from the `failAt`-th write on.
struct Recorder : ByteSink {
    std::string& bytes;
    std::atomic<bool>& committed;
    int failAt;
    int writes = 0;
    Recorder(std::string& b, std::atomic<bool>& c, int f) : bytes(b), committed(c), failAt(f) {}
    bool write(std::string_view b) override
    {
        if (++writes >= failAt)
            return false;
        bytes.append(b);
        return true;
    }
    bool commit() override
    {
        committed = true;
        return true;
    }
    std::string errorText() const override { return "No space left on device"; }
};

TEST(BackgroundSink, WritesEverythingInOrderBeforeTheCommit)
{
    std::string bytes;
    std::atomic<bool> committed{false};
    BackgroundSink sink(std::make_unique<Recorder>(bytes, committed, 1 << 30), 2);
    std::string expected;
    for (int i = 0; i < 1000; ++i) {
        const std::string piece = std::to_string(i) + ";";
        expected += piece;
        ASSERT_TRUE(sink.write(piece));
    }
    ASSERT_TRUE(sink.commit());
    EXPECT_TRUE(committed);
    EXPECT_EQ(bytes, expected);
}

TEST(BackgroundSink, DroppedWithoutCommitCommitsNothing)
{
    std::string bytes;
    std::atomic<bool> committed{false};
    {
        BackgroundSink sink(std::make_unique<Recorder>(bytes, committed, 1 << 30));
        ASSERT_TRUE(sink.write("partial"));
    }
    EXPECT_FALSE(committed);
}

}  // namespace
