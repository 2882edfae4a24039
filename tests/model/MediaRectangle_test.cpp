#include "model/MediaRectangle.h"

#include <gtest/gtest.h>

#include "tests/support/QueuedStream.h"
#include "support/CountingControl.h"

namespace {

// Watches the rectangle and each of its six values.
struct Watchers {
    explicit Watchers(MediaRectangle& rect)
    {
        MediaParam* params[] = {&rect, &rect.Left(), &rect.Right(), &rect.Top(), &rect.Bottom(),
                                &rect.CenterX(), &rect.CenterY()};
        for (int i = 0; i < 7; ++i) {
            m_params[i] = params[i];
            params[i]->AttachControl(&m_controls[i]);
        }
    }
    ~Watchers()
    {
        for (int i = 0; i < 7; ++i)
            m_params[i]->DetachControl(&m_controls[i]);
    }
    int Changes() const
    {
        int total = 0;
        for (const CountingControl& control : m_controls)
            total += control.Changes();
        return total;
    }

    MediaParam* m_params[7];
    CountingControl m_controls[7];
};

QueuedStream LongRecord(std::initializer_list<int32_t> values)
{
    QueuedStream stream;
    for (int32_t value : values)
        stream.Push(QueuedStream::Long{value});
    return stream;
}

}  // namespace

TEST(MediaRectangleTest, LoadReadsSixLongsInOrderAndNotifiesNobody)
{
    MediaRectangle rect;
    Watchers watchers(rect);
    QueuedStream stream = LongRecord({10, 20, 30, 40, 0, 0});

    rect.Load(stream);

    EXPECT_FALSE(stream.Failed());
    EXPECT_EQ(stream.Remaining(), 0u);
    EXPECT_EQ(rect.Left().Value(), 10);
    EXPECT_EQ(rect.Right().Value(), 20);
    EXPECT_EQ(rect.Top().Value(), 30);
    EXPECT_EQ(rect.Bottom().Value(), 40);
    EXPECT_EQ(rect.CenterX().Value(), 0);
    EXPECT_EQ(rect.CenterY().Value(), 0);
    EXPECT_EQ(watchers.Changes(), 0);

    QueuedStream centred = LongRecord({-5, 5, -6, 6, 320, -240});
    rect.Load(centred);
    EXPECT_EQ(rect.CenterX().Value(), 320);
    EXPECT_EQ(rect.CenterY().Value(), -240);
    EXPECT_EQ(watchers.Changes(), 0);
}

TEST(MediaRectangleTest, ShortRecordFailsTheStreamAndKeepsTheRest)
{
    MediaRectangle rect;
    rect.Bottom().ValueRef() = 99;
    rect.CenterY().ValueRef() = 7;
    QueuedStream stream = LongRecord({1, 2, 3});

    rect.Load(stream);

    EXPECT_TRUE(stream.Failed());
    EXPECT_EQ(rect.Top().Value(), 3);
    EXPECT_EQ(rect.Bottom().Value(), 99);
    EXPECT_EQ(rect.CenterY().Value(), 7);
}

TEST(MediaRectangleTest, CopiesTakeAllSixValuesWithoutNotifying)
{
    MediaRectangle source;
    QueuedStream stream = LongRecord({1, 2, 3, 4, 5, 6});
    source.Load(stream);

    MediaRectangle target;
    Watchers watchers(target);
    target.CopyValues(source);
    EXPECT_EQ(watchers.Changes(), 0);

    const MediaRectangle copy(source);
    for (const MediaRectangle* rect : {static_cast<const MediaRectangle*>(&target), &copy}) {
        EXPECT_EQ(rect->Left().Value(), 1);
        EXPECT_EQ(rect->Right().Value(), 2);
        EXPECT_EQ(rect->Top().Value(), 3);
        EXPECT_EQ(rect->Bottom().Value(), 4);
        EXPECT_EQ(rect->CenterX().Value(), 5);
        EXPECT_EQ(rect->CenterY().Value(), 6);
    }
    EXPECT_TRUE(copy.Left().Controls().empty());
    EXPECT_TRUE(copy.Controls().empty());
}
