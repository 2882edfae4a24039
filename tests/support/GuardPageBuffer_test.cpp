#include "support/GuardPageBuffer.h"

#include <gtest/gtest.h>

namespace {

uint8_t ReadOnePastTheEnd(const GuardPageBuffer& buffer)
{
    volatile const uint8_t* p = buffer.end();
    return *p;
}

}  // namespace

TEST(GuardPageBufferTest, HoldsTheBytesRightBeforeTheGuard)
{
    std::vector<uint8_t> bytes = {1, 2, 3, 4, 5};
    GuardPageBuffer buffer(bytes);
    ASSERT_EQ(buffer.size(), 5u);
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.end()), bytes);
    // The end sits on a page boundary: the guard page starts there.
    EXPECT_EQ(reinterpret_cast<uintptr_t>(buffer.end()) % 4096, 0u);
}

TEST(GuardPageBufferTest, EmptyBufferEndsAtTheGuard)
{
    GuardPageBuffer buffer(std::vector<uint8_t>{});
    EXPECT_EQ(buffer.begin(), buffer.end());
}

TEST(GuardPageBufferDeathTest, ReadPastTheEndCrashes)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    GuardPageBuffer buffer(std::vector<uint8_t>{7, 8, 9});
    EXPECT_DEATH(ReadOnePastTheEnd(buffer), "");
}
