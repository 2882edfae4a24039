#include "runtime/SlideSchedule.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const SlideTimes kUsual{1, 10, 1};

struct Frame {
    float time;
    bool switches;
    size_t current;  // the slide shown after the frame
    float alpha;
};

// Steps a schedule through frames the way the slide show does: the switch first, then the
// overlay for the slide now current.
void Play(const std::vector<SlideTimes>& slides, float firstTime, const std::vector<Frame>& frames)
{
    SlideSchedule schedule;
    schedule.Start(firstTime, slides[0]);
    for (const Frame& f : frames) {
        SCOPED_TRACE(testing::Message() << "t = " << f.time);
        const bool switched = schedule.Advance(f.time, slides[schedule.CurrentIndex()], slides.size());
        EXPECT_EQ(switched, f.switches);
        EXPECT_EQ(schedule.CurrentIndex(), f.current);
        EXPECT_FLOAT_EQ(schedule.OverlayAlpha(f.time, slides[schedule.CurrentIndex()]), f.alpha);
    }
}

TEST(SlideScheduleTest, FadesOutAndSwitchesAfterTheWholeSlideLength)
{
    Play({kUsual, kUsual}, 100.0f,
         {
             {100.0f, false, 0, 0.0f},    // the first slide is fully visible at once
             {105.0f, false, 0, 0.0f},
             {110.0f, false, 0, 0.0f},    // fade-in (1) + show (10) reached, not passed
             {110.5f, false, 0, 0.5f},    // half through the fade-out
             {111.0f, false, 0, 1.0f},    // the whole length reached: still this slide, black
             {111.25f, true, 1, 1.0f},    // switched: the new slide starts black
             {111.75f, false, 1, 0.5f},
             {112.25f, false, 1, 0.0f},
         });
}

TEST(SlideScheduleTest, ZeroFadesNeedNoDivision)
{
    // Slide 1 fades in over 0 s: it is fully visible in its switch frame.
    Play({kUsual, SlideTimes{0, 10, 1}}, 0.0f,
         {
             {11.5f, true, 1, 0.0f},
             {12.0f, false, 1, 0.0f},
         });
    // Slide 0 fades out over 0 s: replaced as soon as fade-in + show is passed, never darkened.
    Play({SlideTimes{1, 10, 0}, kUsual}, 0.0f,
         {
             {9.0f, false, 0, 0.0f},
             {10.0f, false, 0, 0.0f},
             {10.01f, true, 1, 1.0f},
         });
}

TEST(SlideScheduleTest, NextIndexWrapsAndAJumpSwitchesOneSlideOnly)
{
    const std::vector<SlideTimes> three{kUsual, kUsual, kUsual};
    SlideSchedule schedule;
    schedule.Start(0.0f, three[0]);
    std::vector<size_t> shown{schedule.CurrentIndex()};
    float t = 0.0f;
    for (int i = 0; i < 5; ++i) {
        // Far more than one slide length: only the next slide is taken, and its time starts now.
        t += 100.0f;
        EXPECT_TRUE(schedule.Advance(t, three[schedule.CurrentIndex()], three.size()));
        EXPECT_FLOAT_EQ(schedule.StartTime(), t);
        EXPECT_FALSE(schedule.Advance(t + 0.5f, three[schedule.CurrentIndex()], three.size()));
        shown.push_back(schedule.CurrentIndex());
    }
    EXPECT_EQ(shown, (std::vector<size_t>{0, 1, 2, 0, 1, 2}));
}

TEST(SlideScheduleTest, OneSlideShowsForEver)
{
    SlideSchedule schedule;
    schedule.Start(0.0f, kUsual);
    for (float t : {5.0f, 12.0f, 1000.0f}) {
        EXPECT_FALSE(schedule.Advance(t, kUsual, 1));
        EXPECT_EQ(schedule.CurrentIndex(), 0u);
    }
}

TEST(SlideScheduleTest, LongTimesDoNotWrapAround)
{
    // 1 + 0xFFFFFFFF + 1 wraps to 1 in 32-bit arithmetic, which would end the slide at once.
    const SlideTimes endless{1, 0xFFFFFFFFu, 1};
    SlideSchedule schedule;
    schedule.Start(0.0f, endless);
    EXPECT_FALSE(schedule.Advance(5.0f, endless, 2));
    EXPECT_FLOAT_EQ(schedule.OverlayAlpha(5.0f, endless), 0.0f);
}

TEST(SlideScheduleTest, OverlayAlphaStaysWithinZeroAndOne)
{
    SlideSchedule schedule;
    schedule.Start(10.0f, kUsual);  // starts at 9
    // Before the start (a clock that went back) and long past the end.
    for (float t : {-50.0f, 8.0f, 9.0f, 9.5f, 20.5f, 500.0f}) {
        const float alpha = schedule.OverlayAlpha(t, kUsual);
        EXPECT_GE(alpha, 0.0f) << t;
        EXPECT_LE(alpha, 1.0f) << t;
    }
    EXPECT_FLOAT_EQ(schedule.OverlayAlpha(9.5f, kUsual), 0.5f);
    EXPECT_FLOAT_EQ(schedule.OverlayAlpha(500.0f, kUsual), 1.0f);
}

}  // namespace
