#include "runtime/Vo_TimeLineControl.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

#include "support/QueuedStream.h"

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

void SetDurations(Vo_TimeLineControl& timeline, unsigned invisibleMin, unsigned invisibleMax,
                  unsigned visibleMin, unsigned visibleMax)
{
    timeline.InvisibleMinimum().SetValue(invisibleMin);
    timeline.InvisibleMaximum().SetValue(invisibleMax);
    timeline.VisibleMinimum().SetValue(visibleMin);
    timeline.VisibleMaximum().SetValue(visibleMax);
}

float Advance(Vo_TimeLineControl& timeline, float x)
{
    return timeline.AdvanceLocalTime(timeline.States(), x);
}

// The duration the timeline must draw next, from the same rand() sequence.
float ExpectedDuration(unsigned minimum, unsigned maximum)
{
    const unsigned hundredths = unsigned(rand() % int(maximum - minimum + 1)) + minimum;
    return float(hundredths * 0.01);
}

TEST(Vo_TimeLineControl, AlwaysVisibleSumsFrameStepsFromZero)
{
    Vo_TimeLineControl timeline;
    EXPECT_EQ(timeline.GetFadeFactor(), 1.0f);
    EXPECT_EQ(timeline.GetState(), 0);
    EXPECT_FLOAT_EQ(Advance(timeline, 5.0f), 5.0f);
    EXPECT_FLOAT_EQ(Advance(timeline, 5.5f), 5.5f);
    EXPECT_EQ(timeline.GetFadeFactor(), 1.0f);
    EXPECT_EQ(timeline.GetState(), 0);

    timeline.States().Reset();
    // The first advance after a reset counts from 0 again.
    EXPECT_FLOAT_EQ(Advance(timeline, 7.0f), 7.0f);
    EXPECT_FLOAT_EQ(Advance(timeline, 7.25f), 7.25f);
}

TEST(Vo_TimeLineControl, CycleFadesInFromFirstFrame)
{
    Vo_TimeLineControl timeline;
    timeline.Mode().SetValue(Vo_TimeLineControl::kCycling);
    const float x0 = 2.0f;
    Advance(timeline, x0);
    EXPECT_EQ(timeline.GetState(), 2);
    EXPECT_EQ(timeline.GetFadeFactor(), 0.0f);
    Advance(timeline, x0 + 0.25f);
    EXPECT_EQ(timeline.GetState(), 2);
    EXPECT_FLOAT_EQ(timeline.GetFadeFactor(), 0.5f);
    // Exactly at the end the state is not left yet (the comparison is strict).
    Advance(timeline, x0 + 0.5f);
    EXPECT_EQ(timeline.GetState(), 2);
    EXPECT_FLOAT_EQ(timeline.GetFadeFactor(), 1.0f);
    Advance(timeline, x0 + 0.51f);
    EXPECT_EQ(timeline.GetState(), 0);
    EXPECT_EQ(timeline.GetFadeFactor(), 1.0f);
}

// Runs a cycle in 10 ms frames and checks each state's order, opacities and the random lengths
// of the visible and invisible phases against the same rand() sequence.
TEST(Vo_TimeLineControl, CycleStatesOpacitiesAndDurations)
{
    struct Case {
        unsigned invisibleMin, invisibleMax, visibleMin, visibleMax;
    };
    const Case cases[] = {
        {100, 100, 100, 100},
        {100, 300, 100, 300},  // the example range: 1.00 to 3.00 s
        {0, 50, 5, 7},
        {250, 251, 400, 400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "visible " << c.visibleMin << ".." << c.visibleMax);
        Vo_TimeLineControl timeline;
        timeline.Mode().SetValue(Vo_TimeLineControl::kCycling);
        SetDurations(timeline, c.invisibleMin, c.invisibleMax, c.visibleMin, c.visibleMax);

        // The cycle draws visible and invisible lengths in turn from the shared sequence, so
        // the expected lengths are drawn first and the sequence is then restarted.
        srand(1234);
        std::vector<float> expectedLengths;
        for (int i = 0; i < 4; ++i) {
            expectedLengths.push_back(ExpectedDuration(c.visibleMin, c.visibleMax));
            expectedLengths.push_back(ExpectedDuration(c.invisibleMin, c.invisibleMax));
        }
        size_t drawn = 0;
        Advance(timeline, 0.01f);
        srand(1234);
        const int expectedOrder[] = {2, 0, 3, 1};
        int previousState = timeline.GetState();
        ASSERT_EQ(previousState, 2);
        int orderIndex = 0;
        int transitions = 0;
        for (int frame = 2; frame < 4000 && transitions < 12; ++frame) {
            const float x = frame * 0.01f;
            Advance(timeline, x);
            const int state = timeline.GetState();
            const float factor = timeline.GetFadeFactor();
            ASSERT_GE(factor, 0.0f);
            ASSERT_LE(factor, 1.0f);
            if (state == 0) {
                ASSERT_EQ(factor, 1.0f);
            }
            if (state == 1) {
                ASSERT_EQ(factor, 0.0f);
            }
            if (state == previousState)
                continue;
            ++transitions;
            orderIndex = (orderIndex + 1) % 4;
            ASSERT_EQ(state, expectedOrder[orderIndex]);
            const float length = timeline.States().Current().EndTime() - x;
            if (state == 0) {
                EXPECT_NEAR(length, expectedLengths.at(drawn++), 1e-4f);
                EXPECT_GE(length, c.visibleMin * 0.01f - 1e-4f);
                EXPECT_LE(length, c.visibleMax * 0.01f + 1e-4f);
            } else if (state == 1) {
                EXPECT_NEAR(length, expectedLengths.at(drawn++), 1e-4f);
            } else {
                EXPECT_NEAR(length, 0.5f, 1e-4f);
                // A fade is entered at 0 (in) or 1 (out).
                EXPECT_NEAR(factor, state == 2 ? 0.0f : 1.0f, 1e-5f);
            }
            previousState = state;
        }
        EXPECT_EQ(transitions, 12);
    }
}

TEST(Vo_TimeLineControl, LongFrameMovesOnByOneStateOnly)
{
    Vo_TimeLineControl timeline;
    timeline.Mode().SetValue(Vo_TimeLineControl::kCycling);
    Advance(timeline, 1.0f);
    EXPECT_EQ(timeline.GetState(), 2);
    Advance(timeline, 100.0f);
    EXPECT_EQ(timeline.GetState(), 0);
    Advance(timeline, 200.0f);
    EXPECT_EQ(timeline.GetState(), 3);
}

TEST(Vo_TimeLineControl, TimeModeTwoRunsLocalTimeAtStateOpacity)
{
    Vo_TimeLineControl timeline;
    timeline.Mode().SetValue(Vo_TimeLineControl::kCycling);
    timeline.TimeMode().SetValue(Vo_TimeLineControl::kTimeModeFollowsOpacity);
    srand(99);
    float local = Advance(timeline, 3.0f);
    // The first advance enters the fade-in at opacity 0, so the whole 3 s add nothing.
    EXPECT_EQ(local, 0.0f);
    bool sawState[4] = {};
    for (int frame = 301; frame < 1200; ++frame) {
        const float x = frame * 0.01f;
        const float before = local;
        local = Advance(timeline, x);
        const int state = timeline.GetState();
        sawState[state] = true;
        const float step = local - before;
        const float dt = x - (frame - 1) * 0.01f;
        switch (state) {
        case 0: EXPECT_NEAR(step, dt, 1e-5f); break;
        case 1: EXPECT_EQ(step, 0.0f); break;
        default: EXPECT_NEAR(step, dt * timeline.GetFadeFactor(), 1e-5f); break;
        }
    }
    for (bool seen : sawState)
        EXPECT_TRUE(seen);
}

TEST(Vo_TimeLineControl, IntervalModeTable)
{
    Vo_TimeLineControl timeline;
    timeline.Mode().SetValue(Vo_TimeLineControl::kIntervals);
    ASSERT_TRUE(timeline.InsertInterval({0.0f, 10.0f, 1.0f, 9.0f}));
    ASSERT_TRUE(timeline.InsertInterval({20.0f, 30.0f, 22.0f, 26.0f}));

    struct Row {
        float t;
        float factor;
        int state;
    };
    const Row rows[] = {
        {0.0f, 0.0f, 2},   // start: fading in from 0
        {0.5f, 0.5f, 2},
        {1.0f, 1.0f, 0},   // the fade-in end is already visible
        {5.0f, 1.0f, 0},
        {9.0f, 1.0f, 3},   // the fade-out start is already fading out
        {9.5f, 0.5f, 3},
        {10.0f, 0.0f, 3},  // the end itself still belongs to the interval
        {10.5f, 0.0f, 1},
        {16.0f, 0.0f, 1},  // next interval more than 3 s ahead
        {18.0f, 0.0f, 1},  // near but not begun
        {21.0f, 0.5f, 2},
        {28.0f, 0.5f, 3},
        {31.0f, 0.0f, 1},  // after the last interval
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "t " << row.t);
        timeline.SetIntervalTime(row.t);
        EXPECT_NEAR(timeline.GetFadeFactor(), row.factor, 1e-6f);
        EXPECT_EQ(timeline.GetState(), row.state);
    }

    Vo_TimeLineControl empty;
    empty.Mode().SetValue(Vo_TimeLineControl::kIntervals);
    EXPECT_EQ(empty.GetFadeFactor(), 0.0f);
    EXPECT_EQ(empty.GetState(), 1);
}

TEST(Vo_TimeLineControl, IntervalClockCountsFromSlideShow)
{
    Vo_TimeLineControl timeline;
    timeline.Mode().SetValue(Vo_TimeLineControl::kIntervals);
    timeline.InsertInterval({0.0f, 10.0f, 2.0f, 8.0f});
    Advance(timeline, 100.0f);
    EXPECT_EQ(timeline.IntervalTime(), 0.0f);
    EXPECT_EQ(timeline.GetState(), 2);
    Advance(timeline, 101.0f);
    EXPECT_FLOAT_EQ(timeline.GetFadeFactor(), 0.5f);
    Advance(timeline, 105.0f);
    EXPECT_EQ(timeline.GetState(), 0);
    Advance(timeline, 111.0f);
    EXPECT_EQ(timeline.GetState(), 1);

    // Shown again: the intervals play from their start once more.
    timeline.States().Reset();
    Advance(timeline, 300.0f);
    Advance(timeline, 301.0f);
    EXPECT_FLOAT_EQ(timeline.GetFadeFactor(), 0.5f);
    // The state list never steps in this mode: local time in time mode 2 stays at 0.
    timeline.TimeMode().SetValue(Vo_TimeLineControl::kTimeModeFollowsOpacity);
    timeline.States().Reset();
    EXPECT_EQ(Advance(timeline, 5.0f), 0.0f);
    EXPECT_EQ(Advance(timeline, 6.0f), 0.0f);
}

TEST(Vo_TimeLineControl, MalformedDurationsAndFades)
{
    // Maximum below minimum: the minimum, whatever rand() gives.
    for (int seed : {1, 2, 3}) {
        srand(seed);
        Vo_TimeLineControl timeline;
        timeline.Mode().SetValue(Vo_TimeLineControl::kCycling);
        SetDurations(timeline, 500, 0, 300, 100);
        timeline.FadeIn().SetValue(0);
        timeline.FadeOut().SetValue(0);
        Advance(timeline, 1.0f);
        // A fade of length 0 is complete at once.
        EXPECT_EQ(timeline.GetState(), 2);
        EXPECT_EQ(timeline.GetFadeFactor(), 1.0f);
        Advance(timeline, 1.01f);
        EXPECT_EQ(timeline.GetState(), 0);
        EXPECT_FLOAT_EQ(timeline.States().Current().EndTime(), 1.01f + 3.0f);
        Advance(timeline, 4.5f);
        EXPECT_EQ(timeline.GetState(), 3);
        EXPECT_EQ(timeline.GetFadeFactor(), 0.0f);
        Advance(timeline, 4.51f);
        EXPECT_EQ(timeline.GetState(), 1);
        EXPECT_FLOAT_EQ(timeline.States().Current().EndTime(), 4.51f + 5.0f);
    }

    // The widest span does not wrap to 0.
    srand(5);
    EXPECT_TRUE(std::isfinite(RandomDurationSeconds(0, UINT_MAX)));
    EXPECT_GE(RandomDurationSeconds(0, UINT_MAX), 0.0f);
    EXPECT_EQ(RandomDurationSeconds(UINT_MAX, UINT_MAX), float(double(UINT_MAX) * 0.01));
}

TEST(Vo_TimeLineControl, IntervalSetKeepsItsOrder)
{
    struct Row {
        TimeInterval interval;
        bool kept;
        const char* why;
    };
    const Row rows[] = {
        {{10, 20, 12, 18}, true, "first"},
        {{0, 5, 1, 4}, true, "before"},
        {{30, 40, 31, 39}, true, "after"},
        {{22, 28, 23, 27}, true, "between"},
        {{15, 25, 16, 24}, false, "overlaps two"},
        {{5, 8, 6, 7}, false, "touches the end of one"},
        {{8, 10, 9, 9}, false, "touches the start of one"},
        {{50, 45, 46, 47}, false, "ends before it starts"},
        {{kNaN, 60, 51, 59}, false, "NaN start"},
        {{50, kNaN, 51, 59}, false, "NaN end"},
        {{50, 60, kNaN, 59}, false, "NaN fade-in end"},
        {{50, 60, 51, std::numeric_limits<float>::infinity()}, false, "infinite fade-out start"},
        {{50, 50, 50, 50}, true, "a point with no fades"},
    };
    Vo_TimeLineControl timeline;
    for (const Row& row : rows)
        EXPECT_EQ(timeline.InsertInterval(row.interval), row.kept) << row.why;

    const std::vector<TimeInterval>& set = timeline.Intervals();
    ASSERT_EQ(set.size(), 5u);
    for (size_t i = 1; i < set.size(); ++i)
        EXPECT_LT(set[i - 1].end, set[i].start);

    // Sections without length never divide 0 by 0.
    timeline.Mode().SetValue(Vo_TimeLineControl::kIntervals);
    timeline.SetIntervalTime(50.0f);
    EXPECT_EQ(timeline.GetFadeFactor(), 0.0f);
    EXPECT_EQ(timeline.GetState(), 3);
    EXPECT_EQ(IntervalOpacity({0, 10, 0, 10}, 10.0f), 0.0f);
    EXPECT_EQ(IntervalOpacity({0, 10, 0, 10}, 0.0f), 1.0f);
    // A fade-in end before the start counts as complete.
    EXPECT_EQ(IntervalOpacity({5, 10, 2, 8}, 5.0f), 1.0f);
}

void PushTimelineRecord(QueuedStream& stream, int mode, int timeMode, unsigned fadeIn, unsigned fadeOut,
                        const std::vector<TimeInterval>& intervals, int count)
{
    stream.Push(QueuedStream::String{L"Vo_TimeLineControl"})
        .Push(QueuedStream::Int{1})
        .Push(QueuedStream::Long{mode})
        .Push(QueuedStream::Long{timeMode})
        .Push(QueuedStream::UInt{10})
        .Push(QueuedStream::UInt{20})
        .Push(QueuedStream::UInt{30})
        .Push(QueuedStream::UInt{40})
        .Push(QueuedStream::UInt{fadeIn})
        .Push(QueuedStream::UInt{fadeOut})
        .Push(QueuedStream::Int{count});
    for (const TimeInterval& i : intervals) {
        stream.Push(QueuedStream::Float{i.start})
            .Push(QueuedStream::Float{i.end})
            .Push(QueuedStream::Float{i.fadeInEnd})
            .Push(QueuedStream::Float{i.fadeOutStart});
    }
}

TEST(Vo_TimeLineControl, RecordAndCopy)
{
    QueuedStream stream;
    PushTimelineRecord(stream, 2, 1, 250, 0, {{0, 10, 1, 9}, {5, 15, 6, 14}, {20, 30, 21, 29}}, 3);
    Vo_TimeLineControl timeline;
    timeline.Load(stream);
    EXPECT_FALSE(stream.Failed());
    EXPECT_EQ(stream.Remaining(), 0u);
    EXPECT_EQ(timeline.Mode().Value(), 2);
    EXPECT_EQ(timeline.TimeMode().Value(), 1);
    EXPECT_EQ(timeline.InvisibleMinimum().Value(), 10u);
    EXPECT_EQ(timeline.InvisibleMaximum().Value(), 20u);
    EXPECT_EQ(timeline.VisibleMinimum().Value(), 30u);
    EXPECT_EQ(timeline.VisibleMaximum().Value(), 40u);
    EXPECT_FLOAT_EQ(timeline.FadeIn().Result(), 2.5f);
    EXPECT_EQ(timeline.FadeOut().Result(), 0.0f);
    // The overlapping second interval is not kept.
    ASSERT_EQ(timeline.Intervals().size(), 2u);
    EXPECT_EQ(timeline.Intervals()[1].start, 20.0f);

    timeline.SetExtraValue(1, 7);
    Advance(timeline, 4.0f);
    Vo_TimeLineControl copy(timeline);
    EXPECT_EQ(copy.Mode().Value(), 2);
    EXPECT_EQ(copy.TimeMode().Value(), 1);
    EXPECT_EQ(copy.VisibleMaximum().Value(), 40u);
    EXPECT_FLOAT_EQ(copy.FadeIn().Result(), 2.5f);
    EXPECT_EQ(copy.FadeOut().Value(), 0u);
    EXPECT_EQ(copy.Intervals().size(), 2u);
    EXPECT_EQ(copy.ExtraValue(1), 7);
    // The copy starts its own clock and cycle.
    EXPECT_EQ(copy.IntervalTime(), 0.0f);
    EXPECT_EQ(copy.States().LastTime(), 0.0f);
    EXPECT_NE(&copy.States(), &timeline.States());
}

TEST(Vo_TimeLineControl, RecordWithBadCountStopsAtStreamEnd)
{
    QueuedStream negative;
    PushTimelineRecord(negative, 0, 0, 50, 50, {}, -5);
    Vo_TimeLineControl a;
    a.Load(negative);
    EXPECT_FALSE(negative.Failed());
    EXPECT_TRUE(a.Intervals().empty());

    QueuedStream huge;
    PushTimelineRecord(huge, 2, 0, 50, 50, {{0, 1, 0.5f, 0.5f}}, 0x7FFFFFFF);
    Vo_TimeLineControl b;
    b.Load(huge);
    EXPECT_TRUE(huge.Failed());
    EXPECT_EQ(b.Intervals().size(), 1u);
}

TEST(Vo_TimeLineControl, Defaults)
{
    Vo_TimeLineControl timeline;
    EXPECT_EQ(timeline.Mode().Value(), 0);
    EXPECT_EQ(timeline.TimeMode().Value(), 0);
    EXPECT_EQ(timeline.InvisibleMinimum().Value(), 100u);
    EXPECT_EQ(timeline.VisibleMaximum().Value(), 100u);
    EXPECT_EQ(timeline.FadeIn().Value(), 50u);
    EXPECT_FLOAT_EQ(timeline.FadeIn().Result(), 0.5f);
    EXPECT_FLOAT_EQ(timeline.FadeOut().Result(), 0.5f);
    EXPECT_EQ(timeline.States().CurrentIndex(), 0u);
    EXPECT_EQ(timeline.States().Current().GetKind(), 1);
}

}  // namespace
