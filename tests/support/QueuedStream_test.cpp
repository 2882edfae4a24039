#include "support/QueuedStream.h"

#include <gtest/gtest.h>

TEST(QueuedStreamTest, HandsOutValuesInOrderAndFailsOnAWrongType)
{
    QueuedStream s;
    s.Push(QueuedStream::Int{5}).Push(QueuedStream::String{L"name"}).Push(QueuedStream::Float{1.5f});
    int32_t i = 0;
    vo_string text = L"default";
    s.ReadInt(i);
    s.ReadString(text);
    EXPECT_EQ(i, 5);
    EXPECT_EQ(text, L"name");
    EXPECT_FALSE(s.Failed());
    int32_t wrong = 9;
    s.ReadInt(wrong);  // a float is next
    EXPECT_TRUE(s.Failed());
    EXPECT_EQ(wrong, 9);
}
