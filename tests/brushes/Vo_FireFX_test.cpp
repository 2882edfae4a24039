#include <gtest/gtest.h>

#include <d3dx9.h>

#include <memory>

#include "brushes/FireShaderValues.h"
#include "brushes/Vo_FireFX.h"
#include "model/ClassReaderRegistries.h"
#include "model/CurrentDevice.h"
#include "model/Vo_DocResManager.h"
#include "runtime/CurrentScreenView.h"
#include "runtime/ScreenView.h"
#include "runtime/Vo_TimeLineControl.h"
#include "support/DeviceFixture.h"
#include "support/BrushTesting.h"
#include "support/EffectTesting.h"

using namespace brush_testing;

namespace {

// The fire's own fields of a version-2 or -3 record; version 2 carries the region and its flag.
void PushFireFields(QueuedStream& s, int32_t version)
{
    if (version == 2)
        for (float value : {100.f, 90.f, 0.f, 100.f, 20.f, 0.f, 300.f, 90.f, 0.f, 300.f, 20.f, 0.f})
            s.Push(QueuedStream::Float{value});
    s.Push(QueuedStream::Int{0x00FF8000}).Push(QueuedStream::Int{0x00000080});
    s.Push(QueuedStream::Long{-3});
    s.Push(QueuedStream::String{L"flames.png"}).Push(QueuedStream::Int64{11});
    s.Push(QueuedStream::String{L"common_res.dll"}).Push(QueuedStream::Int64{8});
    if (version == 2)
        s.Push(QueuedStream::Long{5});
    s.Push(QueuedStream::UInt{150}).Push(QueuedStream::UInt{40}).Push(QueuedStream::UInt{200});
}

TEST(Vo_FireFXTest, Defaults)
{
    Vo_FireFX fire;
    EXPECT_EQ(fire.EffectLink().GetPath(), L"common_res.dll");
    EXPECT_EQ(fire.EffectLink().GetKey().Stamp(), 92);
    EXPECT_EQ(fire.PatternLink().GetKey().Stamp(), 93);
    EXPECT_EQ(fire.NoiseLink().GetKey().Stamp(), 8);
    EXPECT_EQ(fire.PatternLink().GetPath(), L"common_res.dll");
    EXPECT_FLOAT_EQ(fire.Speed().Result(), 1.0f);
    EXPECT_FLOAT_EQ(fire.ScaleParam().Result(), 1.0f);
    EXPECT_FLOAT_EQ(fire.Repeat().Result(), 1.0f);
    EXPECT_EQ(fire.FirstColour().Value(), 0x00FFFFu);
    EXPECT_EQ(fire.SecondColour().Value(), 0x0000FFu);
}

// Brightness follows the fade squared, density the fade; the ramp runs from the second colour
// (red) to the first (yellow).
TEST(Vo_FireFXTest, ShaderValuesOverTheFade)
{
    Vo_FireFX fire;
    struct Row {
        float fade, brightness, density;
    } rows[] = {{1.0f, 0.3f, 0.0f}, {0.5f, 0.075f, -0.5f}, {0.0f, 0.0f, -1.0f}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fade);
        const FireShaderValues v = ComputeFireShaderValues(fire.FirstColour().Value(), fire.SecondColour().Value(),
                                                           fire.Brightness().Result(), fire.Density().Result(),
                                                           row.fade);
        EXPECT_NEAR(v.brightness, row.brightness, 1e-6f);
        EXPECT_NEAR(v.density, row.density, 1e-6f);
        EXPECT_FLOAT_EQ(v.colorK1[0], 1.0f);
        EXPECT_FLOAT_EQ(v.colorK1[1], 0.0f);
        EXPECT_FLOAT_EQ(v.colorK1[2], 0.0f);
        EXPECT_FLOAT_EQ(v.colorK2[0], 0.0f);
        EXPECT_FLOAT_EQ(v.colorK2[1], 1.0f);
        EXPECT_FLOAT_EQ(v.colorK2[2], 0.0f);
    }
    // Stored 0x00BBGGRR: red is the low byte.
    const FireShaderValues v = ComputeFireShaderValues(0x00336699, 0x00FF0000, 0.3f, 0.0f, 1.0f);
    EXPECT_FLOAT_EQ(v.colorK1[2], 1.0f);
    EXPECT_FLOAT_EQ(v.colorK2[0], 0x99 / 255.0f);
    EXPECT_FLOAT_EQ(v.colorK2[2], 0x33 / 255.0f - 1.0f);

    float c11[2], c12[2], c13[2];
    ComputeFireNoiseOffsets(2.0f, c11, c12, c13);
    EXPECT_EQ(c11[0], 0.0f);
    EXPECT_FLOAT_EQ(c11[1], 2.6f);
    EXPECT_FLOAT_EQ(c12[1], 4.2f);
    EXPECT_FLOAT_EQ(c13[1], 4.6f);
}

// u runs to 1 / repeat (a repeat of 0 counts as 1), v from corners 0 and 2 to corners 1 and 3;
// positions as stored, whatever the picture size.
TEST(Vo_FireFXTest, RegionCornersCarryTheFlameCoordinates)
{
    struct Case {
        uint32_t repeatRaw;
        float uEnd;
    } cases[] = {{100, 1.0f}, {200, 0.5f}, {50, 2.0f}, {0, 1.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.repeatRaw);
        Vo_FireFX fire;
        fire.Repeat().SetValue(c.repeatRaw);
        for (int i = 0; i < 4; ++i)
            fire.Region().Corner(i).ValueRef() = D3DXVECTOR3(10.0f * i, 5.0f + i, 0.5f);
        const ScreenQuad q = fire.RegionCorners();
        const float u[4] = {0, 0, c.uEnd, c.uEnd}, v[4] = {0, 1, 0, 1};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(q.corners[i].x, 10.0f * i);
            EXPECT_EQ(q.corners[i].y, 5.0f + i);
            EXPECT_EQ(q.corners[i].z, 0.5f);
            EXPECT_FLOAT_EQ(q.corners[i].u, u[i]) << i;
            EXPECT_FLOAT_EQ(q.corners[i].v, v[i]) << i;
        }
    }
}

TEST(Vo_FireFXTest, Version1RecordKeepsTheDefaults)
{
    QueuedStream stream;
    PushFxRecord(stream, 2, 75, 0, L"common_res.dll", 92, 60);
    std::unique_ptr<Vo_ABObj_Constructor> read(GetConstructorReaderRegistry()[L"Vo_FireFX"]->CreateObject(stream, 1));
    ASSERT_FALSE(stream.Failed());
    EXPECT_EQ(stream.Remaining(), 0u);
    auto* fire = dynamic_cast<Vo_FireFX*>(read.get());
    ASSERT_NE(fire, nullptr);
    EXPECT_EQ(fire->FirstColour().Value(), 0x00FFFFu);
    EXPECT_EQ(fire->PatternLink().GetKey().Stamp(), 93);
    EXPECT_EQ(fire->Density().Value(), 100u);
    EXPECT_EQ(fire->Speed().Value(), 75u);
    EXPECT_EQ(fire->ScaleParam().Value(), 60u);
}

// Version 2 holds the region and its flag in the fire's own record (its base record is older than
// version 3); version 3 finds them in the base record.
TEST(Vo_FireFXTest, Versions2And3ReadTheRegionWhereItIs)
{
    struct Case {
        int32_t version, fxVersion;
        float firstX;
        int32_t regionFlag;
    } cases[] = {{2, 2, 100.0f, 5}, {3, 3, 1.0f, 7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        QueuedStream stream;
        PushFireFields(stream, c.version);
        PushFxRecord(stream, c.fxVersion, 50, 1, L"common_res.dll", 92, 50);
        std::unique_ptr<Vo_ABObj_Constructor> read(
            GetConstructorReaderRegistry()[L"Vo_FireFX"]->CreateObject(stream, c.version));
        ASSERT_FALSE(stream.Failed());
        EXPECT_EQ(stream.Remaining(), 0u);
        auto* fire = static_cast<Vo_FireFX*>(read.get());
        EXPECT_EQ(fire->Region().Corner(0).Value().x, c.firstX);
        EXPECT_EQ(fire->RegionFlag().Value(), c.regionFlag);
        EXPECT_EQ(fire->FirstColour().Value(), 0x00FF8000u);
        EXPECT_EQ(fire->SecondColour().Value(), 0x00000080u);
        EXPECT_EQ(fire->Spare().Value(), -3);
        EXPECT_EQ(fire->PatternLink().GetPath(), L"flames.png");
        EXPECT_EQ(fire->PatternLink().GetKey().Stamp(), 11);
        EXPECT_EQ(fire->NoiseLink().GetKey().Stamp(), 8);
        EXPECT_FLOAT_EQ(fire->Density().Result(), 0.5f);
        EXPECT_FLOAT_EQ(fire->Brightness().Result(), 0.8f);
        EXPECT_FLOAT_EQ(fire->Repeat().Result(), 2.0f);
        EXPECT_EQ(fire->TechniqueFlag().Value(), 1);
    }
}

// The flame layer's way: the class name and version come from the stream too.
TEST(Vo_FireFXTest, ReadFireFXRecordReadsNameAndVersionItself)
{
    QueuedStream stream;
    stream.Push(QueuedStream::String{L"Vo_FireFX"}).Push(QueuedStream::Int{2});
    PushFireFields(stream, 2);
    PushFxRecord(stream, 2, 50, 0, L"common_res.dll", 92, 50);
    std::unique_ptr<Vo_FireFX> fire(ReadFireFXRecord(stream));
    ASSERT_NE(fire, nullptr);
    ASSERT_FALSE(stream.Failed());
    EXPECT_EQ(stream.Remaining(), 0u);
    EXPECT_EQ(fire->Region().Corner(3).Value().y, 20.0f);
    EXPECT_EQ(fire->Name(), L"object name");
}

TEST(Vo_FireFXTest, AssignCopiesEveryValue)
{
    QueuedStream stream;
    PushFireFields(stream, 3);
    PushFxRecord(stream, 3, 30, 0, L"common_res.dll", 92, 50);
    Vo_FireFX source;
    source.LoadFields(stream, 3);
    ASSERT_FALSE(stream.Failed());
    Vo_FireFX target;
    target.PatternLink().Assign(L"common_res.dll", 7);
    target.Assign(source);
    EXPECT_EQ(target.FirstColour().Value(), 0x00FF8000u);
    EXPECT_EQ(target.Spare().Value(), -3);
    EXPECT_EQ(target.PatternLink().GetPath(), L"flames.png");
    EXPECT_FLOAT_EQ(target.Density().Result(), 0.5f);
    EXPECT_FLOAT_EQ(target.Repeat().Result(), 2.0f);
    EXPECT_EQ(target.Speed().Value(), 30u);
    EXPECT_EQ(target.Region().Corner(1).Value().x, 31.0f);
    EXPECT_TRUE(IsEqualGUID(target.Guid(), source.Guid()));
    EXPECT_EQ(target.Name(), L"object name");
}

// --- With the effect on a device ---

class Vo_FireFXDeviceTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        if (HasFatalFailure())
            return;
        m_previousDevice = CurrentDevice;
        m_previousView = CurrentScreenView;
        m_previousStore = CurrentDocResManager;
        CurrentDevice = Device();
        CurrentScreenView = &m_view;
        CurrentDocResManager = &m_store;
        m_effect = effect_testing::LoadEffect(Device(), "fire");
        ASSERT_TRUE(m_effect);
    }
    void TearDown() override
    {
        m_effect.Reset();
        CurrentDevice = m_previousDevice;
        CurrentScreenView = m_previousView;
        CurrentDocResManager = m_previousStore;
        DeviceFixture::TearDown();
    }

    // A brush whose pictures no store holds, with the test's effect.
    std::unique_ptr<WithGivenEffect<Vo_FireFX>> MakeFire()
    {
        auto fire = std::make_unique<WithGivenEffect<Vo_FireFX>>();
        fire->PatternLink().Assign(L"no_such_module.dll", 93);
        fire->NoiseLink().Assign(L"no_such_module.dll", 8);
        fire->EffectLink().Assign(L"no_such_module.dll", 92);
        for (int i = 0; i < 4; ++i)
            fire->Region().Corner(i).ValueRef() = D3DXVECTOR3(i < 2 ? 8.0f : 40.0f, i % 2 ? 8.0f : 56.0f, 0);
        fire->LoadResources(nullptr);
        fire->GiveEffect(m_effect.Get());
        return fire;
    }

    IDirect3DDevice9* m_previousDevice = nullptr;
    ScreenView* m_previousView = nullptr;
    Vo_DocResManager* m_previousStore = nullptr;
    ScreenView m_view;
    Vo_DocResManager m_store;
    ComRef<ID3DXEffect> m_effect;
};

// Pictures that are missing bind nothing; the grid is the 8 x 8 grid over the region; the brush
// draws its grid with "Main" whatever its technique flag, with the layer's image as "Background",
// which the effect lets go of afterwards (it may be a render target that a reset must release).
TEST_F(Vo_FireFXDeviceTest, DrawsItsGridWithMainAndBindsNoMissingPicture)
{
    std::unique_ptr<WithGivenEffect<Vo_FireFX>> fire = MakeFire();
    EXPECT_EQ(fire->PatternTexture(), nullptr);
    EXPECT_EQ(fire->NoiseTexture(), nullptr);
    EXPECT_EQ(fire->Grid().columns, 8);
    EXPECT_EQ(fire->Grid().IndexedPrimitiveCount(), 128u);
    fire->TechniqueFlag().SetValue(1);
    ComRef<IDirect3DTexture9> image = effect_testing::MakeTexture(Device(), 4, 4, effect_testing::Ramp);
    ASSERT_TRUE(image);
    RecordingLayer layer(64, 64);
    layer.m_output = image.Get();
    fire->Render(&layer);
    ASSERT_EQ(layer.draws.size(), 1u);
    EXPECT_TRUE(layer.draws[0].indexed);
    EXPECT_EQ(layer.draws[0].technique, "Main");
    EXPECT_EQ(layer.draws[0].background, image.Get());
    IDirect3DBaseTexture9* pattern = reinterpret_cast<IDirect3DBaseTexture9*>(1);
    m_effect->GetTexture("Pattern", &pattern);
    EXPECT_EQ(pattern, nullptr);
    IDirect3DBaseTexture9* background = reinterpret_cast<IDirect3DBaseTexture9*>(1);
    ASSERT_EQ(m_effect->GetTexture("Background", &background), D3D_OK);
    EXPECT_EQ(background, nullptr);
    if (background)
        background->Release();
}

// In render-target mode the background scale is (1, 1), otherwise the view's scale factors.
TEST_F(Vo_FireFXDeviceTest, BackgroundScaleFollowsTheView)
{
    std::unique_ptr<WithGivenEffect<Vo_FireFX>> fire = MakeFire();
    struct Case {
        int mode;
        float x, y;
    } cases[] = {{ScreenView::kRenderTarget, 1.0f, 1.0f}, {ScreenView::kFit, 1.0f, 2.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        // A 128 x 64 picture fitted into 64 x 64: it takes half the height.
        m_view.Layout(128, 64, 64, 64, c.mode, true, 0, 0);
        RecordingLayer layer(128, 64);
        fire->Render(&layer);
        float scale[2] = {};
        m_effect->GetFloatArray("bg_scale_factor", scale, 2);
        EXPECT_FLOAT_EQ(scale[0], c.x);
        EXPECT_FLOAT_EQ(scale[1], c.y);
    }
}

// The values set per draw: the fade reaches brightness and density; the noise offsets follow the
// phase.
TEST_F(Vo_FireFXDeviceTest, RenderSetsTheFadedValuesAndOffsets)
{
    std::unique_ptr<WithGivenEffect<Vo_FireFX>> fire = MakeFire();
    for (float time : {0.0f, 0.2f, 0.4f})
        fire->Update(time);
    RecordingLayer layer(64, 64);
    fire->Render(&layer);
    float brightness = 0, density = 0, c13[2] = {}, k1[3] = {};
    m_effect->GetFloat("Brightness", &brightness);
    m_effect->GetFloat("Density", &density);
    m_effect->GetFloatArray("c13", c13, 2);
    m_effect->GetFloatArray("ColorK1", k1, 3);
    const float fade = fire->Timeline().GetFadeFactor();
    EXPECT_NEAR(brightness, 0.3f * fade * fade, 1e-6f);
    EXPECT_NEAR(density, fade - 1.0f, 1e-6f);
    EXPECT_NEAR(c13[1], 2.3f * 0.4f, 1e-5f);
    EXPECT_FLOAT_EQ(k1[0], 1.0f);
}

}  // namespace
