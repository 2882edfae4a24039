#include "lights/FakeLake2D.h"

#include <d3d9.h>
#include <d3dx9tex.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "model/ClassReaderRegistries.h"
#include "model/CurrentDevice.h"
#include "model/DataBuffer.h"
#include "model/Vo_DocResManager.h"
#include "runtime/CurrentScreenView.h"
#include "runtime/ScreenView.h"
#include "support/BmpBytes.h"
#include "support/SceneDeviceFixture.h"
#include "support/QueuedStream.h"
#include "tests/lights/LayerOnDeviceFixture.h"

namespace {

const wchar_t kGuidText[] = L"{082B574A-73A8-4C9C-80DE-C8B85A9F9769}";

// The base layer's record at its shortest: class name and version 1 (no fields).
void PushBaseLayerRecord(QueuedStream& stream)
{
    stream.Push(QueuedStream::String{L"Vo_2D_Light"}).Push(QueuedStream::Int{1});
}

void PushIdentity(QueuedStream& stream)
{
    stream.Push(QueuedStream::String{kGuidText})
        .Push(QueuedStream::String{L"lake"})
        .Push(QueuedStream::Bool{false});
}

void ExpectIdentityRead(const FakeLake2D& lake)
{
    GUID expected;
    ASSERT_EQ(CLSIDFromString(kGuidText, &expected), NOERROR);
    EXPECT_TRUE(IsEqualGUID(lake.Guid(), expected));
    EXPECT_EQ(lake.Name(), L"lake");
    EXPECT_FALSE(lake.Flag());
}

TEST(FakeLake2DRecord, Version2ReadsEveryParameterThenIdentityAndBaseLayer)
{
    QueuedStream stream;
    stream.Push(QueuedStream::UInt{200})   // ripple tiling
        .Push(QueuedStream::UInt{100})     // wave speed
        .Push(QueuedStream::UInt{63})      // horizon
        .Push(QueuedStream::UInt{40})      // relief
        .Push(QueuedStream::UInt{50})      // tint alpha
        .Push(QueuedStream::UInt{20})      // fade
        .Push(QueuedStream::UInt{9})       // normal amplitude
        .Push(QueuedStream::UInt{12})      // reflection offset
        .Push(QueuedStream::Int{0})        // reflection size
        .Push(QueuedStream::Int{0x00660000});
    PushIdentity(stream);
    PushBaseLayerRecord(stream);
    std::unique_ptr<FakeLake2D> lake(CreateFakeLake2D(stream, 2));
    ASSERT_FALSE(stream.Failed());
    EXPECT_EQ(stream.Remaining(), 0u);
    EXPECT_FLOAT_EQ(lake->RippleTiling(), 2.0f);
    EXPECT_FLOAT_EQ(lake->WaveSpeed().Result(), 2.0f);
    EXPECT_FLOAT_EQ(lake->Horizon(), 0.185f);
    EXPECT_FLOAT_EQ(lake->Relief(), 0.4f);
    EXPECT_FLOAT_EQ(lake->TintAlpha(), 0.4f);
    EXPECT_FLOAT_EQ(lake->Fade(), 0.2f);
    EXPECT_EQ(lake->NormalAmplitude().Value(), 9u);
    EXPECT_EQ(lake->ReflectionOffset().Value(), 12u);
    EXPECT_EQ(lake->ReflectionSize().Value(), 0);
    EXPECT_EQ(lake->TintColour().Value(), 0x00660000u);
    ExpectIdentityRead(*lake);
    EXPECT_TRUE(lake->TakesFromStore());
}

TEST(FakeLake2DRecord, Version1ReadsTheIdentityAtOnceAndKeepsTheDefaults)
{
    for (int32_t version : {0, 1}) {
        SCOPED_TRACE(version);
        QueuedStream stream;
        PushIdentity(stream);
        PushBaseLayerRecord(stream);
        std::unique_ptr<FakeLake2D> lake(CreateFakeLake2D(stream, version));
        ASSERT_FALSE(stream.Failed());
        EXPECT_EQ(stream.Remaining(), 0u);
        EXPECT_FLOAT_EQ(lake->RippleTiling(), 1.0f);
        EXPECT_FLOAT_EQ(lake->WaveSpeed().Result(), 1.0f);
        EXPECT_FLOAT_EQ(lake->Horizon(), 0.375f);
        EXPECT_FLOAT_EQ(lake->Relief(), 1.0f);
        EXPECT_FLOAT_EQ(lake->TintAlpha(), 0.248f);
        EXPECT_FLOAT_EQ(lake->Fade(), 0.58f);
        EXPECT_EQ(lake->NormalAmplitude().Value(), 25u);
        EXPECT_EQ(lake->ReflectionOffset().Value(), 7u);
        EXPECT_EQ(lake->ReflectionSize().Value(), 1);
        EXPECT_EQ(lake->TintColour().Value(), 0x408000u);
        ExpectIdentityRead(*lake);
    }
}

TEST(FakeLake2DRecord, RegisteredUnderItsClassName)
{
    QueuedStream stream;
    stream.Push(QueuedStream::String{L"FakeLake2D"}).Push(QueuedStream::Int{1});
    PushIdentity(stream);
    PushBaseLayerRecord(stream);
    std::unique_ptr<Vo_2D_Light> layer(ReadLight2DRecord(stream));
    ASSERT_NE(layer, nullptr);
    EXPECT_NE(dynamic_cast<FakeLake2D*>(layer.get()), nullptr);
    EXPECT_EQ(stream.Remaining(), 0u);
}

TEST(FakeLake2DRecord, EveryLakeGetsItsOwnGuid)
{
    FakeLake2D a, b;
    EXPECT_FALSE(IsEqualGUID(a.Guid(), b.Guid()));
    EXPECT_FALSE(IsEqualGUID(a.Guid(), GUID{}));
}

// The wave clock runs at the wave speed with steps clamped to 0.2 s; the matrix follows it.
TEST(FakeLake2DUpdate, WaveMatrixFollowsTheWaveClock)
{
    FakeLake2D lake;
    EXPECT_EQ(lake.WaveMatrix().m00, 0.0f);
    struct Step {
        float time;
        float clock;
    };
    const Step steps[] = {{0.0f, 0.0f}, {0.1f, 0.1f}, {5.0f, 0.3f}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.time);
        lake.Update(s.time);
        EXPECT_NEAR(lake.WaveSpeed().Accumulated(), s.clock, 1e-6f);
        const float angle = s.clock * 4.5f;
        EXPECT_NEAR(lake.WaveMatrix().m00, 0.04f * std::cos(angle), 1e-6f);
        EXPECT_NEAR(lake.WaveMatrix().m01, -0.04f * std::sin(angle), 1e-6f);
        EXPECT_NEAR(lake.WaveMatrix().m10, 0.04f * std::sin(angle), 1e-6f);
        EXPECT_NEAR(lake.WaveMatrix().m11, 0.04f * std::cos(angle), 1e-6f);
    }
}

// Without a device nothing is made and nothing is drawn, and nothing fails.
TEST(FakeLake2DUpdate, ContentWithoutDeviceMakesNothing)
{
    FakeLake2D lake;
    lake.LoadContent();
    lake.RestoreDeviceObjects();
    lake.Update(1.0f);
    lake.BeginRender(0);
    EXPECT_EQ(lake.LakeMesh().VertexBuffer(), nullptr);
    EXPECT_EQ(lake.DuDvTexture(), nullptr);
    EXPECT_FALSE(lake.TakesFromStore());
}

// --- On a device ---

int Channel(uint32_t colour, int shift) { return int((colour >> shift) & 0xFF); }

// A lake over a 64 x 64 picture stretched over the fixture's 64 x 64 target, so that target
// pixel (x, y) shows picture pixel (x, y) above the horizon.
class LakeOnDevice : public LayerOnDeviceFixture<FakeLake2D> {
protected:
    void SetUp() override
    {
        LayerOnDeviceFixture::SetUp();
        if (HasFatalFailure())
            return;
        // Horizon raw 50: the lowest quarter (rows 48 to 63) mirrors rows 47 down to 32.
        m_layer->HorizonParam().SetValue(50);
    }
    void SetPicture(const std::function<uint32_t(unsigned, unsigned)>& colour)
    {
        LinkEmbeddedBmp(m_layer->PictureLink(), L"C:\\pictures\\lake-test.bmp", kSize, kSize, colour);
    }

    // A constant du/dv picture stored under the lake's GUID.
    void StoreDuDv(int8_t du, int8_t dv)
    {
        ComRef<IDirect3DTexture9> texture;
        ASSERT_EQ(Device()->CreateTexture(16, 16, 1, 0, D3DFMT_V8U8, D3DPOOL_MANAGED, texture.Receive(), nullptr),
                  D3D_OK);
        D3DLOCKED_RECT locked;
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        for (unsigned y = 0; y < 16; ++y) {
            auto* row = static_cast<int8_t*>(locked.pBits) + y * locked.Pitch;
            for (unsigned x = 0; x < 16; ++x) {
                row[2 * x] = du;
                row[2 * x + 1] = dv;
            }
        }
        texture->UnlockRect(0);
        m_store->GuidTexture(m_layer->Guid()) = texture;
    }

    // Activation and show as the slide does them, then one frame at the given time.
    void Show(float time)
    {
        LayerOnDeviceFixture::Show(ScreenView::kStretch);
        DrawFrame(time);
    }
    void DrawFrame(float time)
    {
        m_layer->Update(time);
        ASSERT_EQ(Device()->BeginScene(), D3D_OK);
        m_layer->BeginRender(0);
        m_layer->EndRender(0);
        Device()->EndScene();
        m_pixels = ReadBack();
    }
    uint32_t At(unsigned x, unsigned y) const { return m_pixels[y * kSize + x] & 0x00FFFFFF; }

    std::vector<uint32_t> m_pixels;
};

// Red grows to the right, green downwards: each picture pixel has its own colour.
uint32_t Gradient(unsigned x, unsigned y) { return (x * 4) << 16 | (y * 4) << 8 | 0x40; }

TEST_F(LakeOnDevice, LakeVerticesSpanTheWaterBandWithMirroredAndTiledCoordinates)
{
    SetPicture(Gradient);
    m_layer->RippleTilingParam().SetValue(250);
    Show(0.0f);
    IDirect3DVertexBuffer9* buffer = m_layer->LakeMesh().VertexBuffer();
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(m_layer->LakeMesh().PrimitiveType(), D3DPT_TRIANGLELIST);
    EXPECT_EQ(m_layer->LakeMesh().PrimitiveCount(), 2u);
    D3DVERTEXBUFFER_DESC desc;
    ASSERT_EQ(buffer->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.FVF, 0x202u);
    EXPECT_EQ(desc.Size, 6 * 28u);
    void* data = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
    const auto* v = static_cast<const TwoTexVertex*>(data);
    // Top-left, bottom-left, bottom-right; top-left, bottom-right, top-right.
    struct Expected {
        float x, y, u0, v0, u1, v1;
    };
    const Expected expected[6] = {{0, 48, 0.01f, 0.01f, 0, 0.75f},  {0, 64, 0.01f, 2.5f, 0, 0.5f},
                                  {64, 64, 2.5f, 2.5f, 1, 0.5f},    {0, 48, 0.01f, 0.01f, 0, 0.75f},
                                  {64, 64, 2.5f, 2.5f, 1, 0.5f},    {64, 48, 2.5f, 0.01f, 1, 0.75f}};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(v[i].x, expected[i].x, 1e-3f);
        EXPECT_NEAR(v[i].y, expected[i].y, 1e-3f);
        EXPECT_EQ(v[i].z, 0.0f);
        EXPECT_NEAR(v[i].u0, expected[i].u0, 1e-6f);
        EXPECT_NEAR(v[i].v0, expected[i].v0, 1e-6f);
        EXPECT_NEAR(v[i].u1, expected[i].u1, 1e-6f);
        EXPECT_NEAR(v[i].v1, expected[i].v1, 1e-6f);
    }
    buffer->Unlock();
    // The reflection copy: the default size 1 gives 256 x 256.
    D3DSURFACE_DESC reflection;
    ASSERT_NE(m_layer->ReflectionTexture(), nullptr);
    ASSERT_EQ(m_layer->ReflectionTexture()->GetLevelDesc(0, &reflection), D3D_OK);
    EXPECT_EQ(reflection.Width, 256u);
    EXPECT_EQ(reflection.Height, 256u);
}

// Without ripples and without tint, row 48 + k shows row 47 - k.
void ExpectExactMirror(const std::function<uint32_t(unsigned, unsigned)>& at)
{
    for (unsigned k = 0; k < 16; ++k)
        for (unsigned x = 2; x < 62; x += 5)
            ASSERT_TRUE(ColorsNear(at(x, 48 + k), at(x, 47 - k), 6))
                << "x " << x << " k " << k << std::hex << " lake " << at(x, 48 + k) << " above " << at(x, 47 - k);
}

TEST_F(LakeOnDevice, WithZeroDuDvTheWaterIsTheExactMirrorOfTheBandAbove)
{
    SetPicture(Gradient);
    StoreDuDv(0, 0);
    m_layer->TintAlphaParam().SetValue(0);
    Show(3.0f);
    ASSERT_NE(m_layer->DuDvTexture(), nullptr);
    ExpectExactMirror([this](unsigned x, unsigned y) { return At(x, y); });
    // Above the band the picture itself.
    EXPECT_TRUE(ColorsNear(At(20, 20), Gradient(20, 20), 6)) << std::hex << At(20, 20);
    SaveTarget("lake_mirror");
}

// The opaque water plane paints the picture's rows below the horizon over again, so the picture
// is drawn only down to the horizon and a row beyond. Pixels the frame writes: the picture's rows
// 0 to 48 (49 x 64), the water band and its tint (rows 48 to 63, 16 x 64 each) and the haze band
// above the horizon (the reflection offset of 7 rows, 7 x 64); the whole picture would add 15 rows.
TEST_F(LakeOnDevice, ThePictureIsDrawnOnlyDownToTheWater)
{
    SetPicture(Gradient);
    Show(3.0f);
    ComRef<IDirect3DQuery9> query;
    ASSERT_EQ(Device()->CreateQuery(D3DQUERYTYPE_OCCLUSION, query.Receive()), D3D_OK);
    ASSERT_EQ(Device()->BeginScene(), D3D_OK);
    query->Issue(D3DISSUE_BEGIN);
    m_layer->BeginRender(0);
    query->Issue(D3DISSUE_END);
    Device()->EndScene();
    DWORD written = 0;
    HRESULT hr;
    while ((hr = query->GetData(&written, sizeof(written), D3DGETDATA_FLUSH)) == S_FALSE)
        YieldProcessor();
    ASSERT_EQ(hr, S_OK);
    EXPECT_GE(written, DWORD(kSize) * (48 + 16 + 16 + 7));
    EXPECT_LE(written, DWORD(kSize) * (49 + 16 + 16 + 7));
    // The rows on both sides of the horizon are still the picture and its mirror.
    m_pixels = ReadBack();
    for (unsigned x = 2; x < 62; x += 5) {
        EXPECT_TRUE(ColorsNear(At(x, 47), Gradient(x, 47), 40)) << x << std::hex << " " << At(x, 47);
        EXPECT_NE(At(x, 48), 0x00F00FFFu) << x;
    }
}

TEST_F(LakeOnDevice, AGuidWithoutPictureGivesAStillMirror)
{
    SetPicture(Gradient);
    m_layer->TintAlphaParam().SetValue(0);
    Show(3.0f);
    EXPECT_EQ(m_layer->DuDvTexture(), nullptr);
    ExpectExactMirror([this](unsigned x, unsigned y) { return At(x, y); });
}

// A constant (du, dv) moves the reflection coordinates by the wave matrix times (du, dv): at
// clock 0 the matrix is 0.04 x identity, so du = 1 moves u by 0.04 (red + 10 of the gradient's
// 256 per picture width); a quarter turn later the same du moves v by -0.04 instead.
TEST_F(LakeOnDevice, ConstantDuDvShiftsTheMirrorByTheWaveMatrix)
{
    SetPicture(Gradient);
    m_layer->TintAlphaParam().SetValue(0);
    StoreDuDv(0, 0);
    Show(0.0f);
    const std::vector<uint32_t> still = m_pixels;
    StoreDuDv(127, 0);
    m_layer->LoadContent();
    m_layer->RestoreDeviceObjects();
    DrawFrame(0.0f);
    const float unit = 127.0f / 128.0f;
    for (unsigned y = 50; y < 62; y += 3)
        for (unsigned x = 8; x < 56; x += 8) {
            SCOPED_TRACE(testing::Message() << "x " << x << " y " << y);
            const uint32_t before = still[y * kSize + x], after = At(x, y);
            EXPECT_NEAR(Channel(after, 16) - Channel(before, 16), 0.04f * unit * 256.0f, 3.0f);
            EXPECT_NEAR(Channel(after, 8), Channel(before, 8), 2);
        }
    // angle = clock x 4.5 = pi / 2: m01 = -0.04, m10 = 0.04, the diagonal 0.
    const float quarter = 3.14159265f / 9.0f;
    DrawFrame(0.2f);
    DrawFrame(quarter);
    ASSERT_NEAR(m_layer->WaveSpeed().Accumulated(), quarter, 1e-5f);
    for (unsigned y = 50; y < 62; y += 3)
        for (unsigned x = 8; x < 56; x += 8) {
            SCOPED_TRACE(testing::Message() << "x " << x << " y " << y);
            const uint32_t before = still[y * kSize + x], after = At(x, y);
            EXPECT_NEAR(Channel(after, 16), Channel(before, 16), 2);
            // v of the reflection falls by 0.04: a picture row 2.56 higher, green 10 lower.
            EXPECT_NEAR(Channel(after, 8) - Channel(before, 8), -0.04f * unit * 256.0f, 3.0f);
        }
}

// On a white picture the black tint leaves 255 x (1 - alpha), alpha running from the horizon's
// byte 26 to the bottom's 63 (defaults 31 and 58); the haze band fades from 26 at the horizon to
// nothing 7 pixels above it. The tint colour is stored 0x00BBGGRR: stored red must tint red.
TEST_F(LakeOnDevice, TintDarkensTheBottomMoreThanTheHorizon)
{
    SetPicture([](unsigned, unsigned) { return 0xFFFFFFu; });
    m_layer->TintColour().SetValue(0x0000FF);
    Show(0.0f);
    auto expected = [](float alphaByte) { return 255.0f * (1.0f - alphaByte / 255.0f); };
    struct Row {
        unsigned y;
        float alpha;
    };
    // Vertex alphas interpolate over the pixel centres (y + 0.5).
    const Row rows[] = {{48, 26 + 37 * 0.5f / 16}, {55, 26 + 37 * 7.5f / 16}, {63, 26 + 37 * 15.5f / 16},
                        {47, 26 * 6.5f / 7}, {44, 26 * 3.5f / 7}, {38, 0.0f}, {20, 0.0f}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.y);
        const uint32_t pixel = At(32, r.y);
        EXPECT_EQ(Channel(pixel, 16), 255) << std::hex << pixel;
        EXPECT_NEAR(Channel(pixel, 8), expected(r.alpha), 3.0f) << std::hex << pixel;
        EXPECT_NEAR(Channel(pixel, 0), expected(r.alpha), 3.0f) << std::hex << pixel;
    }
    EXPECT_LT(Channel(At(32, 63), 8), Channel(At(32, 48), 8));
    SaveTarget("lake_tint");
}

// A second content load builds a relief from the program's noise picture, which the stored
// picture then replaces again: the stored texture wins.
TEST_F(LakeOnDevice, TheStoredDuDvPictureWinsOverABuiltRelief)
{
    SetPicture(Gradient);
    StoreDuDv(10, 20);
    Show(0.0f);
    IDirect3DTexture9* stored = m_store->GuidTexture(m_layer->Guid()).Get();
    EXPECT_EQ(m_layer->DuDvTexture(), stored);
    m_layer->LoadContent();
    EXPECT_EQ(m_layer->DuDvTexture(), stored);
}

// The relief built from the program's noise picture (which the first content load skips): a
// V8U8 texture of the noise picture's size, replacing whatever du/dv texture the lake had.
TEST_F(LakeOnDevice, BuildsARippleReliefFromTheNoisePicture)
{
    SetPicture(Gradient);
    Show(0.0f);
    ASSERT_EQ(m_layer->DuDvTexture(), nullptr);
    m_layer->BuildBumpTexture();
    ASSERT_NE(m_layer->DuDvTexture(), nullptr);
    D3DSURFACE_DESC desc;
    ASSERT_EQ(m_layer->DuDvTexture()->GetLevelDesc(0, &desc), D3D_OK);
    EXPECT_EQ(desc.Format, D3DFMT_V8U8);
    EXPECT_EQ(desc.Width, 512u);
    EXPECT_EQ(desc.Height, 512u);
    // The device is left drawing into the target again.
    DrawFrame(0.0f);
    EXPECT_TRUE(ColorsNear(At(20, 20), Gradient(20, 20), 6)) << std::hex << At(20, 20);
}

TEST_F(LakeOnDevice, DrawsAgainAfterAReset)
{
    SetPicture(Gradient);
    m_layer->TintAlphaParam().SetValue(0);
    Show(0.0f);
    m_layer->InvalidateDeviceObjects();
    ASSERT_EQ(ResetDevice(), D3D_OK);
    m_layer->RestoreDeviceObjects();
    DrawFrame(0.5f);
    ExpectExactMirror([this](unsigned x, unsigned y) { return At(x, y); });
}

}  // namespace
