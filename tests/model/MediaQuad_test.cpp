#include "model/MediaQuad.h"

#include <gtest/gtest.h>

#include "tests/support/QueuedStream.h"
#include "support/CountingControl.h"

TEST(MediaQuadTest, LoadReadsTwelveFloatsCornerAfterCorner)
{
    MediaQuad quad;
    CountingControl watchers[MediaQuad::kCornerCount];
    for (int i = 0; i < MediaQuad::kCornerCount; ++i) {
        EXPECT_EQ(quad.Corner(i).Value(), D3DXVECTOR3(0, 0, 0));
        quad.Corner(i).AttachControl(&watchers[i]);
    }
    QueuedStream stream;
    for (int i = 1; i <= 12; ++i)
        stream.Push(QueuedStream::Float{static_cast<float>(i)});

    quad.Load(stream);

    EXPECT_FALSE(stream.Failed());
    for (int i = 0; i < MediaQuad::kCornerCount; ++i) {
        SCOPED_TRACE(i);
        const float first = static_cast<float>(3 * i + 1);
        EXPECT_EQ(quad.Corner(i).Value(), D3DXVECTOR3(first, first + 1, first + 2));
        EXPECT_EQ(watchers[i].Changes(), 0);
        quad.Corner(i).DetachControl(&watchers[i]);
    }

    const MediaQuad copy(quad);
    EXPECT_EQ(copy.Corner(3).Value(), D3DXVECTOR3(10, 11, 12));
    EXPECT_TRUE(copy.Corner(3).Controls().empty());
}

TEST(MediaQuadTest, RecordOfTheWrongTypeFailsTheStream)
{
    MediaQuad quad;
    QueuedStream stream;
    stream.Push(QueuedStream::Float{1.0f}).Push(QueuedStream::Long{2});

    quad.Load(stream);

    EXPECT_TRUE(stream.Failed());
    EXPECT_EQ(quad.Corner(0).Value(), D3DXVECTOR3(1, 0, 0));
    EXPECT_EQ(quad.Corner(3).Value(), D3DXVECTOR3(0, 0, 0));
}
