#include "model/UINTSclaleTo.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/ColorWithAlpha.h"
#include "support/CountingControl.h"

TEST(UINTSclaleToTest, FloatResultFollowsTheRawValue)
{
    struct Case {
        const char* name;
        unsigned int raw;
        float scale, offset;
        float expected;
    };
    const Case cases[] = {
        {"0.02 steps: 50 reads exactly 1", 50, 0.02f, 0.0f, 1.0f},
        {"hundredths: 250 reads exactly 2.5", 250, 0.01f, 0.0f, 2.5f},
        {"offset added", 3, 0.5f, 1.0f, 2.5f},
        {"raw is unsigned, never -1", 0xFFFFFFFFu, 1.0f, 0.0f, 4294967296.0f},
        {"negative scale", 10, -0.5f, 0.0f, -5.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UINTSclaleTo<float> param;
        param.Rescale(c.scale, c.offset);
        param.SetValue(c.raw);
        EXPECT_EQ(param.Result(), c.expected);
    }
}

TEST(UINTSclaleToTest, ByteResultTruncatesAndWraps)
{
    struct Case {
        const char* name;
        unsigned int raw;
        float scale, offset;
        unsigned char expected;
    };
    const Case cases[] = {
        // A transparency in percent read as an alpha byte.
        {"0 % opaque", 0, kTransparencyScale, kTransparencyOffset, 255},
        {"50 % truncates 127.5", 50, kTransparencyScale, kTransparencyOffset, 127},
        {"100 % invisible", 100, kTransparencyScale, kTransparencyOffset, 0},
        {"101 % gives -2, kept as its low byte", 101, kTransparencyScale, kTransparencyOffset, 254},
        {"above 255 wraps", 300, 1.0f, 0.0f, 44},
        {"fraction truncated toward zero", 2, 0.7f, 0.0f, 1},
        {"negative fraction truncated toward zero", 1, -0.7f, 0.0f, 0},
        // Beyond the 32-bit integer range the processor gives 0x80000000.
        {"out of integer range", 0xFFFFFFFFu, 1.0f, 0.0f, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UINTSclaleTo<unsigned char> param;
        param.Rescale(c.scale, c.offset);
        param.SetValue(c.raw);
        EXPECT_EQ(param.Result(), c.expected);
    }
}

TEST(UINTSclaleToTest, ConstructionEvaluatesWithUnitScale)
{
    UINTSclaleTo<float> param;
    EXPECT_EQ(param.Value(), 0u);
    EXPECT_EQ(param.Scale(), 1.0f);
    EXPECT_EQ(param.Offset(), 0.0f);
    EXPECT_EQ(param.Result(), 0.0f);
    // It observes its own raw value and nothing else.
    EXPECT_EQ(param.Controls(), (std::vector<MediaControl*>{static_cast<MediaControl*>(&param)}));
    EXPECT_EQ(param.WatchedParam(), static_cast<MediaParamT<unsigned int>*>(&param));

    TimeParam time;
    EXPECT_EQ(time.Scale(), 0.01f);
    time.SetValue(250);
    EXPECT_EQ(time.Result(), 2.5f);

    MediaFloat<unsigned int> plain;
    EXPECT_EQ(plain.Result(), 0.0f);
    plain.SetValue(7);
    EXPECT_EQ(plain.Result(), 7.0f);
}

TEST(UINTSclaleToTest, ScaleChangeShowsOnlyAfterReevaluation)
{
    UINTSclaleTo<float> param;
    param.SetValue(4);
    param.SetScale(0.5f);
    param.SetOffset(1.0f);
    EXPECT_EQ(param.Result(), 4.0f);  // computed on change, not on read
    param.OnParamChanged(nullptr);
    EXPECT_EQ(param.Result(), 3.0f);
}

TEST(UINTSclaleToTest, CopyRecomputesWithTheSourceScaleAndHasOnlyItsOwnControl)
{
    UINTSclaleTo<unsigned char> source;
    source.Rescale(kTransparencyScale, kTransparencyOffset);
    source.SetValue(50);
    UIntCountingControl watcher;
    watcher.Attach(&source);

    UINTSclaleTo<unsigned char> copy(source);
    EXPECT_EQ(copy.Value(), 50u);
    EXPECT_EQ(copy.Scale(), kTransparencyScale);
    EXPECT_EQ(copy.Offset(), kTransparencyOffset);
    EXPECT_EQ(copy.Result(), 127);
    EXPECT_EQ(copy.Controls(), (std::vector<MediaControl*>{static_cast<MediaControl*>(&copy)}));
    EXPECT_EQ(watcher.Changes(), 0);

    // The copy evaluates by itself from then on.
    copy.SetValue(0);
    EXPECT_EQ(copy.Result(), 255);
    EXPECT_EQ(source.Result(), 127);

    MediaFloat<unsigned int> plainSource;
    plainSource.Rescale(2.0f, 1.0f);
    plainSource.SetValue(3);
    MediaFloat<unsigned int> plainCopy(plainSource);
    EXPECT_EQ(plainCopy.Result(), 7.0f);
    EXPECT_EQ(plainCopy.Controls().size(), 1u);
}

TEST(UINTSclaleToTest, DestructionTellsOnlyTheOtherControlsToForget)
{
    UIntCountingControl watcher;
    {
        TimeParam param;
        watcher.Attach(&param);
        param.SetValue(100);
        EXPECT_EQ(param.Result(), 1.0f);
        EXPECT_EQ(watcher.Changes(), 1);
    }
    EXPECT_EQ(watcher.WatchedParam(), nullptr);

    // The other order: the watcher leaves and the parameter still evaluates.
    TimeParam param;
    {
        UIntCountingControl shortLived;
        shortLived.Attach(&param);
    }
    EXPECT_EQ(param.Controls().size(), 1u);
    param.SetValue(300);
    EXPECT_EQ(param.Result(), 3.0f);
}
