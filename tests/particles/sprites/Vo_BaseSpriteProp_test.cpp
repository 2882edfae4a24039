#include "particles/sprites/Vo_BaseSpriteProp.h"

#include <gtest/gtest.h>

#include "tests/particles/sprites/ParticleTesting.h"
#include "particles/sprites/Vo_SparkleConstructor.h"
#include "runtime/Vo_TimeLineControl.h"

namespace {

// Each version's fields land; the fields a version lacks keep the defaults of a new emitter; the
// reader takes exactly what the record holds.
TEST(Vo_BaseSpriteProp, RecordVersions)
{
    for (int32_t version = 1; version <= 7; ++version) {
        SCOPED_TRACE(testing::Message() << "version " << version);
        SpriteRecordValues values;
        values.version = version;
        QueuedStream stream;
        PushSpriteRecord(stream, values);
        Vo_SparkleConstructor emitter;
        emitter.Vo_BaseSpriteProp::Load(stream);
        EXPECT_FALSE(stream.Failed());
        EXPECT_EQ(stream.Remaining(), 0u);

        EXPECT_FLOAT_EQ(emitter.MaxX(), 1.0f);
        EXPECT_EQ(emitter.Name(), L"Sprites");
        EXPECT_EQ(emitter.Timeline().Mode().Value(), 1);
        EXPECT_EQ(emitter.Speed().Value(), version < 3 ? 51u : 50u);
        EXPECT_EQ(emitter.Count().Value(), 3u);
        EXPECT_EQ(emitter.SpriteSize().Value(), 20u);
        // Transparency 10 % through the notification: 255 - 25.5, truncated.
        EXPECT_EQ(emitter.AlphaByte(), 229);
        EXPECT_EQ(emitter.Additive().Value(), 1);
        EXPECT_EQ(emitter.Colour().Value(), 0x00336699u);
        EXPECT_FLOAT_EQ(emitter.OpacitySpeed(), 0.5f);
        EXPECT_FLOAT_EQ(emitter.MinOpacity(), 0.25f);
        EXPECT_FLOAT_EQ(emitter.MaxOpacity(), 0.75f);
        EXPECT_FLOAT_EQ(emitter.MaxScale(), 2.0f);
        EXPECT_EQ(emitter.ReservedCount(), 5u);
        EXPECT_FLOAT_EQ(emitter.ReservedRate(), 1.5f);
        EXPECT_EQ(emitter.StoredFrameCount(), 4u);
        EXPECT_FLOAT_EQ(emitter.FrameRate(), 10.0f);
        EXPECT_TRUE(emitter.Animated());

        if (version == 1) {
            EXPECT_TRUE(emitter.MainPicture().GetPath().empty());
            EXPECT_EQ(emitter.LegacyBlobs().size(), 2u);
            EXPECT_EQ(emitter.LegacyDelays().size(), 2u);
        } else {
            EXPECT_EQ(emitter.MainPicture().GetPath(), L"C:\\sprites\\star.png");
            EXPECT_EQ(emitter.MainPicture().GetKey().Stamp(), 0x01D9000000000011);
            EXPECT_TRUE(emitter.LegacyBlobs().empty());
        }
        EXPECT_EQ(emitter.PictureSource(), version > 3 ? 1 : 0);
        EXPECT_EQ(emitter.VerticalMirror().Value(), version > 4 ? 1 : 0);
        EXPECT_EQ(emitter.HorizontalMirror().Value(), version > 4 ? 1 : 0);
        EXPECT_EQ(emitter.RefillOnFrame().Value(), version > 5 ? 1 : 0);
        EXPECT_EQ(emitter.FrameSpeed().Value(), version > 6 ? 250u : 100u);
        EXPECT_FLOAT_EQ(emitter.FrameSpeed().Result(), version > 6 ? 2.5f : 1.0f);
    }
}

TEST(Vo_BaseSpriteProp, CopyKeepsEveryValueAndTheFrameClock)
{
    SpriteRecordValues values;
    QueuedStream stream;
    PushSpriteRecord(stream, values);
    Vo_SparkleConstructor emitter;
    emitter.Vo_BaseSpriteProp::Load(stream);
    emitter.FrameSpeed().Advance(0.1f);
    std::unique_ptr<Vo_ParticleSystemCtrl> clone(emitter.Clone());
    EXPECT_EQ(clone->Count().Value(), 3u);
    EXPECT_EQ(clone->AlphaByte(), 229);
    EXPECT_EQ(clone->Colour().Value(), 0x00336699u);
    EXPECT_FLOAT_EQ(clone->MaxScale(), 2.0f);
    EXPECT_EQ(clone->MainPicture().GetKey(), emitter.MainPicture().GetKey());
    EXPECT_EQ(clone->HorizontalMirror().Value(), 1);
    EXPECT_FLOAT_EQ(clone->FrameSpeed().Result(), 2.5f);
    EXPECT_FLOAT_EQ(clone->FrameSpeed().Accumulated(), emitter.FrameSpeed().Accumulated());
    EXPECT_GT(clone->FrameSpeed().Accumulated(), 0.0f);
}

TEST(Vo_BaseSpriteProp, NextFrameWrapsAndAZeroFrameCountCountsAsOne)
{
    Vo_SparkleConstructor emitter;
    emitter.StoredFrameCount() = 3;
    EXPECT_EQ(emitter.NextFrame(0), 1u);
    EXPECT_EQ(emitter.NextFrame(2), 0u);
    emitter.StoredFrameCount() = 0;
    EXPECT_EQ(emitter.NextFrame(0), 0u);
    EXPECT_EQ(emitter.FrameCount(), 1u);
    ObjectPreviewInfo info;
    emitter.GetPreviewInfo(info);
    EXPECT_FLOAT_EQ(info.scale, 1.0f);
}

TEST(Vo_BaseSpriteProp, ApplyFadeScalesOnlyTheAlpha)
{
    Vo_SparkleConstructor emitter;
    // Always visible: the fade is 1.
    EXPECT_EQ(emitter.ApplyFade(0xFF123456u), 0xFF123456u);
    // Cycling, at the middle of the fade-in (0.5 s): alpha 255 becomes trunc(127.5) = 127.
    Vo_TimeLineControl& timeline = emitter.Timeline();
    timeline.Mode().SetValue(Vo_TimeLineControl::kCycling);
    timeline.AdvanceLocalTime(timeline.States(), 1.0f);
    timeline.AdvanceLocalTime(timeline.States(), 1.25f);
    ASSERT_FLOAT_EQ(timeline.GetFadeFactor(), 0.5f);
    EXPECT_EQ(emitter.ApplyFade(0xFF123456u), 0x7F123456u);
    EXPECT_EQ(emitter.ApplyFade(0x00ABCDEFu), 0x00ABCDEFu);
}

TEST(Vo_BaseSpriteProp, HugeCountsAreHeld)
{
    Vo_SparkleConstructor emitter;
    emitter.Count().ValueRef() = 0xFFFFFFFFu;
    EXPECT_EQ(emitter.GetParticleCount(), kMaxSpriteParticles);
}

}  // namespace
