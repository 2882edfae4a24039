#include <gtest/gtest.h>

#include "runtime/RenderSizeStack.h"

namespace {

TEST(RenderSizeStack, NestedPushesPopInReverseOrder)
{
    ASSERT_TRUE(RenderSizeStack::Empty());
    int w = -1, h = -1;
    // Reading or popping an empty stack leaves everything as it was.
    EXPECT_FALSE(RenderSizeStack::Front(w, h));
    EXPECT_EQ(w, -1);
    RenderSizeStack::Pop();
    EXPECT_EQ(RenderSizeStack::Count(), 0u);

    RenderSizeStack::Push(1280, 1024);
    RenderSizeStack::Push(256, 64);
    ASSERT_TRUE(RenderSizeStack::Front(w, h));
    EXPECT_EQ(w, 256);
    EXPECT_EQ(h, 64);
    RenderSizeStack::Pop();
    ASSERT_TRUE(RenderSizeStack::Front(w, h));
    EXPECT_EQ(w, 1280);
    EXPECT_EQ(h, 1024);
    RenderSizeStack::Pop();
    EXPECT_TRUE(RenderSizeStack::Empty());
}

}  // namespace
