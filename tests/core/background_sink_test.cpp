// Writes handed to a thread of their own: same bytes, nothing committed when
// dropped (failures reported: truncation_test).

#include "platform/background_sink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

namespace {

// Keeps what it is given and where each write ended; fails from the
// `failAt`-th write on.
struct Recorder : ByteSink {
    std::string& bytes;
    std::atomic<bool>& committed;
    int failAt;
    int writes = 0;
    std::vector<std::size_t> ends;
    Recorder(std::string& b, std::atomic<bool>& c, int f) : bytes(b), committed(c), failAt(f) {}
    bool write(std::string_view b) override { return writePieces(&b, 1); }
    bool writePieces(const std::string_view* pieces, std::size_t count) override
    {
        if (++writes >= failAt)
            return false;
        for (std::size_t i = 0; i < count; ++i)
            bytes.append(pieces[i]);
        ends.push_back(bytes.size());
        return true;
    }
    bool commit() override
    {
        committed = true;
        return true;
    }
    std::string errorText() const override { return "No space left on device"; }
};

TEST(BackgroundSink, WritesEverythingInOrderInAlignedChunksBeforeTheCommit)
{
    std::string bytes;
    std::atomic<bool> committed{false};
    auto recorder = std::make_unique<Recorder>(bytes, committed, 1 << 30);
    const Recorder& record = *recorder;
    BackgroundSink sink(std::move(recorder), 64, 128);
    std::string expected;
    for (int i = 0; i < 1000; ++i) {
        // Short copies and kept buffers, some longer than a chunk.
        std::string piece = std::to_string(i) + ";";
        if (i % 7 == 0)
            piece += std::string(150, 'x');
        expected += piece;
        ASSERT_TRUE(i % 2 ? sink.write(piece) : sink.take(std::move(piece)));
    }
    ASSERT_TRUE(sink.commit());
    EXPECT_TRUE(committed);
    EXPECT_EQ(bytes, expected);
    for (std::size_t i = 0; i < record.ends.size(); ++i)
        EXPECT_EQ(record.ends[i], std::min<std::size_t>(64 * (i + 1), expected.size())) << i;
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
