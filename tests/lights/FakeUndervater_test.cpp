#include "lights/FakeUndervater.h"

#include <d3d9.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "model/ClassReaderRegistries.h"
#include "model/CurrentDevice.h"
#include "model/DataBuffer.h"
#include "model/Vo_DocResManager.h"
#include "runtime/ScreenView.h"
#include "runtime/Vo_ABObj.h"
#include "support/BmpBytes.h"
#include "support/BuildFolderSceneFixture.h"
#include "support/QueuedStream.h"
#include "support/SceneDeviceFixture.h"
#include "support/TestPaths.h"
#include "support/BrushTesting.h"
#include "support/EffectTesting.h"
#include "tests/lights/LayerOnDeviceFixture.h"

namespace {

const wchar_t kBrushGuid[] = L"{0C1D2E3F-4A5B-6C7D-8E9F-A0B1C2D3E4F5}";

// The base layer's record at its shortest: class name and version 1 (no fields).
void PushBaseLayerRecord(QueuedStream& stream)
{
    stream.Push(QueuedStream::String{L"Vo_2D_Light"}).Push(QueuedStream::Int{1});
}

// A whole underwater brush record: name, version, amplitude raw, wave length raw, the common part.
void PushBrushRecord(QueuedStream& stream)
{
    stream.Push(QueuedStream::String{L"Vo_UnderwaterFX"}).Push(QueuedStream::Int{1});
    stream.Push(QueuedStream::UInt{80})     // amplitude raw
        .Push(QueuedStream::UInt{200});     // wave length raw
    brush_testing::PushFxRecord(stream, 2, 40, 0, L"common_res.dll", 88, 50);
}

TEST(FakeUndervaterRecord, Version1HoldsOnlyTheBrushSpeedAtTwiceItsRate)
{
    QueuedStream stream;
    stream.Push(QueuedStream::UInt{101});   // brush speed raw
    PushBaseLayerRecord(stream);
    std::unique_ptr<FakeUndervater> layer(CreateFakeUndervater(stream, 1));
    ASSERT_FALSE(stream.Failed());
    EXPECT_EQ(stream.Remaining(), 0u);
    const Vo_UnderwaterFX& brush = layer->Brush();
    EXPECT_EQ(brush.Speed().Value(), 50u);
    EXPECT_FLOAT_EQ(brush.Amplitude().Result(), 0.00625f);
    EXPECT_FLOAT_EQ(brush.WaveLength().Result(), 0.101f);
    EXPECT_EQ(brush.EffectLink().GetKey().Stamp(), 88);
}

// Every version but 1 holds a whole brush record, version 0 included; its values reach the layer's
// own brush.
TEST(FakeUndervaterRecord, OtherVersionsHoldAWholeBrushRecord)
{
    for (int32_t version : {0, 2, 3}) {
        SCOPED_TRACE(version);
        QueuedStream stream;
        PushBrushRecord(stream);
        PushBaseLayerRecord(stream);
        std::unique_ptr<FakeUndervater> layer(CreateFakeUndervater(stream, version));
        ASSERT_FALSE(stream.Failed());
        EXPECT_EQ(stream.Remaining(), 0u);
        const Vo_UnderwaterFX& brush = layer->Brush();
        EXPECT_FLOAT_EQ(brush.Amplitude().Result(), 0.01f);
        EXPECT_FLOAT_EQ(brush.WaveLength().Result(), 0.401f);
        EXPECT_EQ(brush.Speed().Value(), 40u);
        EXPECT_EQ(brush.IdentityName(), L"brush one");
        GUID expected;
        ASSERT_EQ(CLSIDFromString(kBrushGuid, &expected), NOERROR);
        EXPECT_TRUE(IsEqualGUID(brush.Guid(), expected));
    }
}

TEST(FakeUndervaterRecord, RegisteredUnderItsClassName)
{
    QueuedStream stream;
    stream.Push(QueuedStream::String{L"FakeUndervater"}).Push(QueuedStream::Int{2});
    PushBrushRecord(stream);
    PushBaseLayerRecord(stream);
    std::unique_ptr<Vo_2D_Light> layer(ReadLight2DRecord(stream));
    ASSERT_NE(layer, nullptr);
    EXPECT_NE(dynamic_cast<FakeUndervater*>(layer.get()), nullptr);
    EXPECT_TRUE(layer->HasOwnPostEffect());
    EXPECT_EQ(stream.Remaining(), 0u);
}

// The layer's update also runs the brush's clock.
TEST(FakeUndervaterUpdate, AdvancesTheBrushClock)
{
    FakeUndervater layer;
    layer.Update(0.1f);
    EXPECT_FLOAT_EQ(layer.Brush().Phase(), 2.5f);
    layer.Update(5.0f);
    EXPECT_FLOAT_EQ(layer.Brush().Phase(), 7.5f);
}

// --- On a device ---

const unsigned kSize = DeviceFixture::kSize;
// Transparent magenta: no pixel of a finished frame may keep it.
const uint32_t kStale = 0x00FF00FF;

// Red grows to the right, green downwards: every displacement shows in the colour. The layer's
// two passes (picture into the pair, pair onto the target) each sample half a texel off the pixel
// centres, as Direct3D 9 places them; on a ramp that is a constant shift within the tolerance.
uint32_t Ramp(unsigned x, unsigned y) { return (x * 4) << 16 | (y * 4) << 8 | 0x40; }
const int kTolerance = 6;

// An underwater layer over a 64 x 64 picture stretched over the fixture's 64 x 64 target, its
// effect taken from the resource module.
// The layer's effect comes from common_res.dll in the build folder.
class UnderwaterOnDevice : public LayerOnDeviceFixture<FakeUndervater, BuildFolderSceneFixture> {
protected:
    void SetUp() override
    {
        LayerOnDeviceFixture::SetUp();
        if (HasFatalFailure())
            return;
        // Waves of 3.2 pixels on a wave length of 0.401 picture heights.
        m_layer->Brush().Amplitude().SetValue(400);
        m_layer->Brush().WaveLength().SetValue(200);
    }
    void SetPicture() { LinkEmbeddedBmp(m_layer->PictureLink(), L"C:\\pictures\\ramp.bmp", kSize, kSize, Ramp); }

    // One frame as the slide draws a layer with its own post effect and no objects, onto a target
    // that still holds an old frame.
    void DrawFrame(float time, int nested = 0)
    {
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET, kStale, 1.0f, 0);
        m_layer->Update(time);
        ASSERT_EQ(Device()->BeginScene(), D3D_OK);
        m_layer->BeginEffects();
        m_layer->BeginRender(nested);
        m_layer->ApplyEffects(Vo_2D_Light::ObjectList(), 1);
        m_layer->EndRender(nested);
        Device()->EndScene();
        m_pixels = ReadBack();
        ASSERT_EQ(m_pixels.size(), kSize * kSize);
    }

    // The ramp moved sideways by a wave down the picture and vertically by one across it.
    uint32_t Rippled(unsigned x, unsigned y) const
    {
        static const effect_testing::TexelTable picture(
            kSize, kSize, [](unsigned px, unsigned py) { return Ramp(px, py) | 0xFF000000u; },
            effect_testing::TexelTable::kMirror);
        const Vo_UnderwaterFX& brush = m_layer->Brush();
        const double twoPi = 6.283185307179586, time = brush.Phase() * 0.08;
        const double k = 1.0 / brush.WaveLength().Result(), a = brush.Amplitude().Result();
        const double u = effect_testing::PixelU(x, kSize), v = effect_testing::PixelU(y, kSize);
        return effect_testing::ToArgb(picture.Sample(u + a * std::sin(twoPi * v * k + time),
                                                     v + a * std::sin(twoPi * u * k + time)));
    }

    std::vector<uint32_t> m_pixels;
};

TEST_F(UnderwaterOnDevice, BendsThePictureAndWritesEveryPixel)
{
    SetPicture();
    Show(ScreenView::kStretch);
    ASSERT_TRUE(m_layer->Brush().HasEffect()) << "effect 88 not found in common_res.dll";
    for (int nested : {0, 1}) {
        SCOPED_TRACE(nested);
        DrawFrame(0.1f + nested, nested);
        int bent = 0;
        for (unsigned y = 0; y < kSize; ++y)
            for (unsigned x = 0; x < kSize; ++x) {
                const uint32_t got = m_pixels[y * kSize + x], want = Rippled(x, y);
                ASSERT_TRUE(ColorsNear(got, want, kTolerance))
                    << std::hex << got << " want " << want << std::dec << " at " << x << "," << y;
                if (!ColorsNear(want, Ramp(x, y) | 0xFF000000u, 8))
                    ++bent;
            }
        EXPECT_GT(bent, 1000) << "the picture should come out bent";
    }
    SaveTarget("underwater_ramp");
}

// Without its effect the brush cannot draw: the image goes onto the target as it is.
TEST_F(UnderwaterOnDevice, WithoutItsEffectTheImageIsDrawnUndistorted)
{
    SetPicture();
    m_layer->Brush().EffectLink().Assign(L"common_res.dll", 9999);
    Show(ScreenView::kStretch);
    ASSERT_FALSE(m_layer->Brush().HasEffect());
    DrawFrame(0.5f);
    for (unsigned y = 0; y < kSize; ++y)
        for (unsigned x = 0; x < kSize; ++x)
            ASSERT_TRUE(ColorsNear(m_pixels[y * kSize + x], Ramp(x, y) | 0xFF000000u, kTolerance))
                << std::hex << m_pixels[y * kSize + x] << std::dec << " at " << x << "," << y;
}

// A picture link without a picture leaves nothing to draw: the frame is black, not the old one.
TEST_F(UnderwaterOnDevice, WithoutAPictureTheFrameIsCleared)
{
    m_layer->PictureLink().Assign(L"C:\\pictures\\missing.bmp", 1);
    Show(ScreenView::kStretch);
    DrawFrame(0.5f);
    for (uint32_t pixel : m_pixels)
        ASSERT_EQ(pixel, 0xFF000000u) << std::hex << pixel;
}

TEST_F(UnderwaterOnDevice, DrawsAgainAfterAReset)
{
    SetPicture();
    Show(ScreenView::kStretch);
    DrawFrame(0.1f);
    m_layer->InvalidateDeviceObjects();
    ASSERT_EQ(ResetDevice(), D3D_OK);
    m_layer->RestoreDeviceObjects();
    DrawFrame(0.3f);
    for (unsigned y = 0; y < kSize; y += 3)
        for (unsigned x = 0; x < kSize; x += 3)
            ASSERT_TRUE(ColorsNear(m_pixels[y * kSize + x], Rippled(x, y), kTolerance)) << x << "," << y;
}

}  // namespace
