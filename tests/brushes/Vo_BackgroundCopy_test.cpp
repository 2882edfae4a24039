#include <gtest/gtest.h>

#include <memory>

#include "brushes/Vo_BackgroundCopy.h"
#include "model/ClassReaderRegistries.h"
#include "support/DeviceFixture.h"
#include "support/RegistryReading.h"
#include "support/BrushTesting.h"
#include "support/EffectTesting.h"

using namespace brush_testing;

namespace {

TEST(Vo_BackgroundCopyTest, Defaults)
{
    Vo_BackgroundCopy brush;
    EXPECT_EQ(brush.EffectLink().GetPath(), L"common_res.dll");
    EXPECT_EQ(brush.EffectLink().GetKey().Stamp(), 75);
    EXPECT_EQ(brush.Speed().Value(), 0u);
    EXPECT_FLOAT_EQ(brush.Speed().Scale(), 1.0f);
    EXPECT_EQ(brush.Rectangle().CenterX().Value(), 0);
    EXPECT_EQ(brush.VerticalWrap().Value(), 0);
    EXPECT_EQ(brush.HorizontalWrap().Value(), 0);
}

// The registry reads name and version; the reader reads the rectangle (four edges and the shift),
// the vertical and the horizontal wrap flag, then the common brush record. A clone keeps them.
TEST(Vo_BackgroundCopyTest, RecordThroughTheRegistry)
{
    QueuedStream stream;
    stream.Push(QueuedStream::Long{-5})     // left
        .Push(QueuedStream::Long{300})      // right
        .Push(QueuedStream::Long{7})        // top
        .Push(QueuedStream::Long{200})      // bottom
        .Push(QueuedStream::Long{100})      // shift x
        .Push(QueuedStream::Long{-50})      // shift y
        .Push(QueuedStream::Long{1})        // vertical wrap
        .Push(QueuedStream::Long{0});       // horizontal wrap
    PushFxRecord(stream, 3, 0, 1, L"common_res.dll", 75, 50);
    std::unique_ptr<Vo_BackgroundCopy> read = ReadObjectThroughRegistry<Vo_BackgroundCopy>(L"Vo_BackgroundCopy", stream, 1);
    ASSERT_TRUE(read);
    Vo_BackgroundCopy* copy = read.get();
    std::unique_ptr<Vo_FX_Constructor> cloned(copy->Clone());
    for (auto* brush : {copy, static_cast<Vo_BackgroundCopy*>(cloned.get())}) {
        EXPECT_EQ(brush->Rectangle().Left().Value(), -5);
        EXPECT_EQ(brush->Rectangle().Right().Value(), 300);
        EXPECT_EQ(brush->Rectangle().Top().Value(), 7);
        EXPECT_EQ(brush->Rectangle().Bottom().Value(), 200);
        EXPECT_EQ(brush->Rectangle().CenterX().Value(), 100);
        EXPECT_EQ(brush->Rectangle().CenterY().Value(), -50);
        EXPECT_EQ(brush->VerticalWrap().Value(), 1);
        EXPECT_EQ(brush->HorizontalWrap().Value(), 0);
        EXPECT_EQ(brush->TechniqueFlag().Value(), 1);
        EXPECT_EQ(brush->IdentityName(), L"brush one");
    }
}

// "offset" = shift / picture size, plus 1 per wrap flag; the rectangle's edges play no part.
TEST(Vo_BackgroundCopyTest, OffsetOverShiftAndFlags)
{
    struct Case {
        int shiftX, shiftY, vertical, horizontal;
        unsigned width, height;
        float x, y;
    } cases[] = {
        {100, -50, 0, 0, 800, 600, 0.125f, -0.0833333f},
        {0, 0, 1, 1, 800, 600, 1.0f, 1.0f},
        {0, 0, 1, 0, 800, 600, 0.0f, 1.0f},   // the vertical flag moves y only
        {0, 0, 0, -3, 800, 600, 1.0f, 0.0f},  // any non-zero flag counts
        {-400, 300, 0, 1, 800, 600, 0.5f, 0.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.shiftX << "," << c.shiftY << " flags " << c.vertical << ","
                                        << c.horizontal);
        Vo_BackgroundCopy brush;
        brush.Rectangle().CenterX().ValueRef() = c.shiftX;
        brush.Rectangle().CenterY().ValueRef() = c.shiftY;
        brush.Rectangle().Left().ValueRef() = 123;
        brush.Rectangle().Bottom().ValueRef() = -77;
        brush.VerticalWrap().ValueRef() = c.vertical;
        brush.HorizontalWrap().ValueRef() = c.horizontal;
        float offset[2] = {0, 0};
        ASSERT_TRUE(brush.OffsetFor(c.width, c.height, offset));
        EXPECT_NEAR(offset[0], c.x, 1e-6f);
        EXPECT_NEAR(offset[1], c.y, 1e-6f);
    }
}

TEST(Vo_BackgroundCopyTest, APictureWithoutSizeGivesNoOffset)
{
    Vo_BackgroundCopy brush;
    brush.Rectangle().CenterX().ValueRef() = 10;
    float offset[2] = {-7, -7};
    EXPECT_FALSE(brush.OffsetFor(0, 600, offset));
    EXPECT_FALSE(brush.OffsetFor(800, 0, offset));
    EXPECT_EQ(offset[0], -7.0f);
}

using Vo_BackgroundCopyDeviceTest = DeviceFixture;

// The brush sets "offset" and then draws the picture quad through the common step, with the
// technique its flag chooses; a picture without size is not drawn.
TEST_F(Vo_BackgroundCopyDeviceTest, RenderValues)
{
    ComRef<ID3DXEffect> effect = effect_testing::LoadEffect(Device(), "backgroundcopy");
    ASSERT_TRUE(effect);
    WithGivenEffect<Vo_BackgroundCopy> brush;
    brush.GiveEffect(effect.Get());
    brush.Rectangle().CenterX().ValueRef() = 100;
    brush.Rectangle().CenterY().ValueRef() = -50;
    RecordingLayer layer(800, 600);
    brush.Render(&layer);
    ASSERT_EQ(layer.draws.size(), 1u);
    EXPECT_EQ(layer.draws[0].technique, "Main");
    EXPECT_FALSE(layer.draws[0].indexed);
    float offset[2] = {0, 0};
    effect->GetFloatArray("offset", offset, 2);
    EXPECT_NEAR(offset[0], 0.125f, 1e-6f);
    EXPECT_NEAR(offset[1], -0.0833333f, 1e-6f);

    brush.TechniqueFlag().SetValue(1);
    brush.Render(&layer);
    ASSERT_EQ(layer.draws.size(), 2u);
    EXPECT_EQ(layer.draws[1].technique, "MainFX");

    RecordingLayer empty(0, 600);
    brush.Render(&empty);
    EXPECT_TRUE(empty.draws.empty());
}

}  // namespace
