#include "lights/Vo_WaterRingLight.h"

#include <d3d9.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "model/ClassReaderRegistries.h"
#include "model/CurrentDevice.h"
#include "model/Vo_DocResManager.h"
#include "runtime/CurrentScreenView.h"
#include "runtime/PictureMesh.h"
#include "runtime/Vo_ABObj.h"
#include "runtime/ScreenView.h"
#include "support/BuildFolderAsCurrent.h"
#include "support/QueuedStream.h"
#include "support/SceneDeviceFixture.h"
#include "tests/lights/LayerOnDeviceFixture.h"

namespace {

// --- Record ---

void PushBaseLayerRecord(QueuedStream& stream)
{
    stream.Push(QueuedStream::String{L"Vo_2D_Light"}).Push(QueuedStream::Int{1});
}

TEST(Vo_WaterRingLightRecord, Version2ReadsEveryParameterThenTheModeAndTheBaseLayer)
{
    QueuedStream stream;
    stream.Push(QueuedStream::UInt{10})    // speed
        .Push(QueuedStream::UInt{20})      // row factor
        .Push(QueuedStream::UInt{30})      // column factor
        .Push(QueuedStream::UInt{40})      // drop depth
        .Push(QueuedStream::UInt{60})      // damping
        .Push(QueuedStream::UInt{70})      // refraction
        .Push(QueuedStream::UInt{120})     // drop rate raw
        .Push(QueuedStream::UInt{45})      // specular raw
        .Push(QueuedStream::UInt{10})      // power raw
        .Push(QueuedStream::Int{1});       // mode
    PushBaseLayerRecord(stream);
    std::unique_ptr<Vo_WaterRingLight> layer(CreateWaterRingLight(stream, 2));
    ASSERT_FALSE(stream.Failed());
    EXPECT_EQ(stream.Remaining(), 0u);
    EXPECT_EQ(layer->Speed().Value(), 10u);
    EXPECT_EQ(layer->RowFactor().Value(), 20u);
    EXPECT_EQ(layer->ColumnFactor().Value(), 30u);
    EXPECT_EQ(layer->DropDepth().Value(), 40u);
    EXPECT_EQ(layer->DampingParam().Value(), 60u);
    EXPECT_EQ(layer->Refraction().Value(), 70u);
    EXPECT_FLOAT_EQ(layer->DropRate().Result(), 2.0f);
    EXPECT_FLOAT_EQ(layer->Specular().Result(), 0.45f);
    EXPECT_FLOAT_EQ(layer->Power().Result(), 8.0f);
    EXPECT_EQ(layer->Mode().Value(), 1);
    EXPECT_TRUE(layer->HasOwnPostEffect());
}

TEST(Vo_WaterRingLightRecord, Version1ReadsOnlyTheModeAndKeepsTheDefaults)
{
    for (int32_t version : {0, 1}) {
        SCOPED_TRACE(version);
        QueuedStream stream;
        stream.Push(QueuedStream::Int{0});
        PushBaseLayerRecord(stream);
        std::unique_ptr<Vo_WaterRingLight> layer(CreateWaterRingLight(stream, version));
        ASSERT_FALSE(stream.Failed());
        EXPECT_EQ(stream.Remaining(), 0u);
        EXPECT_EQ(layer->Speed().Value(), 0u);
        EXPECT_EQ(layer->RowFactor().Value(), 0u);
        EXPECT_EQ(layer->ColumnFactor().Value(), 0u);
        EXPECT_EQ(layer->DropDepth().Value(), 50u);
        EXPECT_EQ(layer->DampingParam().Value(), 50u);
        EXPECT_EQ(layer->Refraction().Value(), 20u);
        EXPECT_EQ(layer->DropRate().Value(), 30u);
        EXPECT_FLOAT_EQ(layer->DropRate().Result(), 0.5f);
        EXPECT_FLOAT_EQ(layer->Specular().Result(), 0.9f);
        EXPECT_FLOAT_EQ(layer->Power().Result(), 40.0f);
        EXPECT_EQ(layer->Mode().Value(), 0);
        EXPECT_FALSE(layer->HasOwnPostEffect());
    }
}

TEST(Vo_WaterRingLightRecord, ANegativeVersionCountsAsAboveOne)
{
    QueuedStream stream;
    for (int i = 0; i < 9; ++i)
        stream.Push(QueuedStream::UInt{uint32_t(i)});
    stream.Push(QueuedStream::Int{0});
    PushBaseLayerRecord(stream);
    std::unique_ptr<Vo_WaterRingLight> layer(CreateWaterRingLight(stream, -1));
    EXPECT_FALSE(stream.Failed());
    EXPECT_EQ(stream.Remaining(), 0u);
    EXPECT_EQ(layer->Refraction().Value(), 5u);
}

TEST(Vo_WaterRingLightRecord, RegisteredUnderItsClassName)
{
    QueuedStream stream;
    stream.Push(QueuedStream::String{L"Vo_WaterRingLight"}).Push(QueuedStream::Int{1});
    stream.Push(QueuedStream::Int{1});
    PushBaseLayerRecord(stream);
    std::unique_ptr<Vo_2D_Light> layer(ReadLight2DRecord(stream));
    ASSERT_NE(layer, nullptr);
    auto* water = dynamic_cast<Vo_WaterRingLight*>(layer.get());
    ASSERT_NE(water, nullptr);
    EXPECT_EQ(water->Mode().Value(), 1);
    EXPECT_EQ(stream.Remaining(), 0u);
}

// --- Without a device ---

TEST(Vo_WaterRingLightLogic, DampingRisesTowardsOneOverTheRawRange)
{
    Vo_WaterRingLight layer;
    struct Case {
        unsigned raw;
        float damping;
    };
    for (const Case& c : {Case{0, 0.9f}, Case{25, 0.945f}, Case{50, 0.99f}, Case{75, 0.9945f}, Case{100, 0.999f}}) {
        SCOPED_TRACE(c.raw);
        layer.SetDamping(c.raw);
        EXPECT_NEAR(layer.RippleField().Damping(), c.damping, 1e-6f);
    }
}

// A picture of that size without a texture, as the layer's picture.
void SetPictureSize(Vo_WaterRingLight& layer, uint32_t width, uint32_t height)
{
    TextureInfo picture;
    MakeTextureInfo(picture, nullptr, width, height);
    layer.GetPictureMesh()->SetPicture(picture);
}

double VelocitySum(const WaterRippleField& field)
{
    double sum = 0.0;
    for (uint32_t i = 0; i < field.CellCount(); ++i)
        sum += field.Cells()[i].velocity;
    return sum;
}

void Flatten(WaterRippleField& field)
{
    for (uint32_t i = 0; i < field.CellCount(); ++i)
        field.Cells()[i] = WaterRippleField::Cell{0.0f, 0.0f};
}

TEST(Vo_WaterRingLightLogic, ContentMakesAFieldOfThePictureProportionWithOneDrop)
{
    Vo_WaterRingLight layer;
    layer.Speed().SetValue(50);
    layer.DropDepth().SetValue(100);
    layer.DampingParam().SetValue(0);
    layer.Refraction().SetValue(50);
    SetPictureSize(layer, 640, 480);
    layer.LoadContent();
    const WaterRippleField& field = layer.RippleField();
    EXPECT_EQ(field.Columns(), 128u);
    EXPECT_EQ(field.Rows(), 96u);
    EXPECT_FLOAT_EQ(field.Width(), 40.0f);
    EXPECT_FLOAT_EQ(field.Height(), 30.0f);
    EXPECT_FLOAT_EQ(field.Speed(), 2.0f);
    EXPECT_FLOAT_EQ(field.DropDepth(), 0.8f);
    EXPECT_FLOAT_EQ(field.Damping(), 0.9f);
    EXPECT_FLOAT_EQ(field.RefractionStrength(), 0.5f);
    EXPECT_NE(field.Refraction(), nullptr);
    EXPECT_NEAR(VelocitySum(field), -0.8, 1e-5);
    // The eye 120 units above the surface's centre, looking straight down on it.
    const D3DXVECTOR3 eye = layer.EyePosition();
    EXPECT_EQ(eye, D3DXVECTOR3(0.0f, 120.0f, 0.0f));
    D3DXVECTOR3 centre(0.0f, 0.0f, 0.0f), seen;
    D3DXVec3TransformCoord(&seen, &centre, &layer.ViewMatrix());
    EXPECT_NEAR(seen.x, 0.0f, 1e-4f);
    EXPECT_NEAR(seen.y, 0.0f, 1e-4f);
    EXPECT_NEAR(seen.z, -120.0f, 1e-4f);
    // A point towards the picture's top (negative z) shows above the centre.
    D3DXVECTOR3 top(0.0f, 0.0f, -15.0f);
    D3DXVec3TransformCoord(&seen, &top, &layer.ViewMatrix());
    EXPECT_NEAR(seen.y, 15.0f, 1e-4f);
}

TEST(Vo_WaterRingLightLogic, DropsFallAtTheDropRateAndNotAtRateZero)
{
    Vo_WaterRingLight layer;
    layer.LoadContent();  // square field, drop rate 0.5 per second
    WaterRippleField& field = layer.RippleField();
    Flatten(field);
    struct Step {
        float time;
        bool drop;
    };
    // A drop once more than two seconds have passed since the last; a clock that goes back
    // starts the count again.
    const Step steps[] = {{1.0f, false}, {2.0f, false}, {2.5f, true}, {4.0f, false}, {4.6f, true},
                          {1.0f, false}, {2.9f, false}, {3.1f, true}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.time);
        Flatten(field);
        layer.Update(s.time);
        EXPECT_EQ(VelocitySum(field) != 0.0, s.drop);
    }
    layer.DropRate().SetValue(0);
    for (float time : {10.0f, 1000.0f, 1e6f}) {
        Flatten(field);
        layer.Update(time);
        EXPECT_EQ(VelocitySum(field), 0.0) << time;
    }
}

TEST(Vo_WaterRingLightLogic, LayoutFitsTheSurfaceToTheTarget)
{
    Vo_WaterRingLight layer;
    SetPictureSize(layer, 640, 480);
    struct Case {
        int width, height;
        float halfWidth, halfHeight;
    };
    // 40 x 30 units: a wide target shows the whole height, a tall one the whole width.
    for (const Case& c : {Case{800, 400, 30.0f, 15.0f}, Case{400, 400, 20.0f, 20.0f}, Case{400, 300, 20.0f, 15.0f}}) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        layer.Layout(c.width, c.height);
        const D3DXMATRIX& p = layer.ProjectionMatrix();
        EXPECT_NEAR(p._11, 1.0f / c.halfWidth, 1e-6f);
        EXPECT_NEAR(p._22, 1.0f / c.halfHeight, 1e-6f);
        EXPECT_NEAR(p._41, 0.0f, 1e-6f);
        EXPECT_NEAR(p._42, 0.0f, 1e-6f);
    }
    // A size of 0 is kept but lays nothing out.
    layer.Layout(0, 300);
    EXPECT_NEAR(layer.ProjectionMatrix()._11, 1.0f / 20.0f, 1e-6f);
}

TEST(Vo_WaterRingLightLogic, WithoutDeviceNothingIsMadeAndNothingFails)
{
    Vo_WaterRingLight layer;
    layer.LoadContent();
    layer.Layout(64, 64);
    layer.RestoreDeviceObjects();
    layer.Update(1.0f);
    layer.BeginRender(0);
    layer.EndRender(0);
    layer.InvalidateDeviceObjects();
    EXPECT_EQ(layer.RippleField().VertexBuffer(), nullptr);
    EXPECT_EQ(layer.RippleField().IndexBuffer(), nullptr);
}

// --- On a device ---

int Channel(uint32_t colour, int shift) { return int((colour >> shift) & 0xFF); }

// Red grows to the right, green downwards.
uint32_t Gradient(unsigned x, unsigned y) { return (x * 4) << 16 | (y * 4) << 8 | 0x40; }
uint32_t WideGradient(unsigned x, unsigned y) { return (x * 4) << 16 | (y * 8) << 8 | 0x80; }

class WaterOnDevice : public LayerOnDeviceFixture<Vo_WaterRingLight> {
protected:
    void SetUp() override
    {
        LayerOnDeviceFixture::SetUp();
        if (HasFatalFailure())
            return;
        // No highlight: the water shows the picture's own colours.
        m_layer->Specular().SetValue(0);
    }

    // Activation and show as the slide does them, the picture put in place of the link's.
    void Show(int position) { LayerOnDeviceFixture::Show(position, &m_picture); }

    // The surface at rest, its mesh written.
    void FlattenWater()
    {
        Flatten(m_layer->RippleField());
        m_layer->RippleField().Simulate(m_layer->EyePosition());
    }

    // One frame as the slide draws it, onto a white target.
    void DrawFrame()
    {
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
        ASSERT_EQ(Device()->BeginScene(), D3D_OK);
        const int n = m_layer->HasOwnPostEffect() ? 1 : 0;
        if (n > 0)
            m_layer->BeginEffects();
        m_layer->BeginRender(0);
        m_layer->ApplyEffects(Vo_2D_Light::ObjectList(), n);
        m_layer->EndRender(0);
        Device()->EndScene();
        m_pixels = ReadBack();
    }
    uint32_t At(unsigned x, unsigned y) const { return m_pixels[y * kSize + x] & 0x00FFFFFF; }

    void ExpectPictureEverywhere(const char* artifact)
    {
        for (unsigned y = 2; y < kSize; y += 5)
            for (unsigned x = 2; x < kSize; x += 5)
                EXPECT_TRUE(ColorsNear(At(x, y), Gradient(x, y), 6))
                    << "x " << x << " y " << y << std::hex << " got " << At(x, y) << " picture " << Gradient(x, y);
        if (HasFailure())
            SaveTarget(artifact);
    }

    // A 64 x 32 picture fitted to the 64 x 64 target: rows 16 to 47 show it, the rest is black.
    void ExpectFittedBandWithBlackMargins(const char* artifact)
    {
        for (unsigned x = 1; x < kSize; x += 6) {
            for (unsigned y : {0u, 7u, 14u, 49u, 56u, 63u})
                EXPECT_EQ(At(x, y), 0u) << "margin x " << x << " y " << y << std::hex << " got " << At(x, y);
            for (unsigned y = 18; y < 47; y += 4)
                EXPECT_TRUE(ColorsNear(At(x, y), WideGradient(x, y - 16), 10))
                    << "x " << x << " y " << y << std::hex << " got " << At(x, y) << " picture " << WideGradient(x, y - 16);
        }
        if (HasFailure())
            SaveTarget(artifact);
    }

    std::vector<uint32_t> m_pixels;
};

TEST_F(WaterOnDevice, MakesDynamicDefaultPoolBuffersWithTheStrip)
{
    MakePicture(kSize, kSize, Gradient);
    Show(ScreenView::kStretch);
    const WaterRippleField& field = m_layer->RippleField();
    ASSERT_EQ(field.Columns(), 128u);
    ASSERT_EQ(field.Rows(), 128u);
    ASSERT_NE(field.VertexBuffer(), nullptr);
    ASSERT_NE(field.IndexBuffer(), nullptr);
    D3DVERTEXBUFFER_DESC vertices;
    ASSERT_EQ(field.VertexBuffer()->GetDesc(&vertices), D3D_OK);
    EXPECT_EQ(vertices.Pool, D3DPOOL_DEFAULT);
    EXPECT_TRUE(vertices.Usage & D3DUSAGE_DYNAMIC);
    EXPECT_EQ(vertices.FVF, 0x152u);
    EXPECT_EQ(vertices.Size, 36u * 128 * 128);
    D3DINDEXBUFFER_DESC indices;
    ASSERT_EQ(field.IndexBuffer()->GetDesc(&indices), D3D_OK);
    EXPECT_EQ(indices.Pool, D3DPOOL_DEFAULT);
    EXPECT_EQ(indices.Format, D3DFMT_INDEX16);
    EXPECT_EQ(indices.Size, 2u * 2 * 128 * 128);
    std::vector<uint16_t> strip(field.IndexCount());
    WaterRippleField::WriteRingStrip(field.Columns(), field.Rows(), strip.data(), field.IndexCount());
    void* data = nullptr;
    ASSERT_EQ(field.IndexBuffer()->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
    EXPECT_TRUE(std::equal(strip.begin(), strip.end(), static_cast<const uint16_t*>(data)));
    field.IndexBuffer()->Unlock();
}

TEST_F(WaterOnDevice, AFlatSurfaceInMode0ShowsThePicture)
{
    MakePicture(kSize, kSize, Gradient);
    Show(ScreenView::kStretch);
    FlattenWater();
    DrawFrame();
    ExpectPictureEverywhere("water_flat");
}

TEST_F(WaterOnDevice, Mode0ClearsTheMarginsOfAFittedPicture)
{
    // Without the resource module the margins show no border picture, whichever folder the
    // program was started in.
    const ModulelessFolderAsCurrent modulelessFolder;
    MakePicture(kSize, kSize / 2, WideGradient);
    Show(ScreenView::kFit);
    FlattenWater();
    DrawFrame();
    ExpectFittedBandWithBlackMargins("water_mode0_fit");
}

TEST_F(WaterOnDevice, Mode1DrawsTheSceneThroughTheWaterAfterClearingToBlack)
{
    // Without the resource module the margins show no border picture, whichever folder the
    // program was started in.
    const ModulelessFolderAsCurrent modulelessFolder;
    m_layer->Mode().SetValue(1);
    ASSERT_TRUE(m_layer->HasOwnPostEffect());
    MakePicture(kSize, kSize / 2, WideGradient);
    Show(ScreenView::kFit);
    FlattenWater();
    DrawFrame();
    ExpectFittedBandWithBlackMargins("water_mode1");
    // The scene went through the pair, which now holds the picture stretched over the target.
    ASSERT_NE(m_layer->Targets().Current(), nullptr);
    EXPECT_EQ(m_layer->Targets().Width(), kSize);
}

TEST_F(WaterOnDevice, DropsBendThePictureWhereTheyFall)
{
    m_layer->Refraction().SetValue(300);
    MakePicture(kSize, kSize, Gradient);
    Show(ScreenView::kStretch);
    FlattenWater();
    DrawFrame();
    const std::vector<uint32_t> flat = m_pixels;
    WaterRippleField& field = m_layer->RippleField();
    field.SetDropDepth(3.0f);
    field.AddDrop(64, 64);
    for (int frame = 0; frame < 3; ++frame)
        field.Simulate(m_layer->EyePosition());
    DrawFrame();
    int largest = 0;
    for (unsigned y = 24; y < 40; ++y)
        for (unsigned x = 24; x < 40; ++x)
            for (int shift : {16, 8})
                largest = std::max(largest, std::abs(Channel(At(x, y), shift) - Channel(flat[y * kSize + x], shift)));
    EXPECT_GT(largest, 12);
    // The rings have not reached the corners yet.
    for (unsigned x : {2u, 61u})
        for (unsigned y : {2u, 61u})
            EXPECT_TRUE(ColorsNear(At(x, y), flat[y * kSize + x] & 0x00FFFFFF, 4)) << x << ", " << y;
    SaveTarget("water_drop");
}

TEST_F(WaterOnDevice, AResetWithTheFieldAliveSucceedsAndTheWaterDrawsAgain)
{
    MakePicture(kSize, kSize, Gradient);
    Show(ScreenView::kStretch);
    m_layer->Update(0.1f);
    DrawFrame();
    m_layer->InvalidateDeviceObjects();
    EXPECT_EQ(m_layer->RippleField().VertexBuffer(), nullptr);
    EXPECT_EQ(m_layer->RippleField().IndexBuffer(), nullptr);
    // The surface goes on moving while its buffers are gone.
    m_layer->Update(0.2f);
    ASSERT_EQ(ResetDevice(), D3D_OK);
    m_layer->RestoreDeviceObjects();
    ASSERT_NE(m_layer->RippleField().VertexBuffer(), nullptr);
    ASSERT_NE(m_layer->RippleField().IndexBuffer(), nullptr);
    FlattenWater();
    DrawFrame();
    ExpectPictureEverywhere("water_after_reset");
}

TEST_F(WaterOnDevice, EffectsInMode0DrawStretchedAndLeaveThePictureFitted)
{
    MakePicture(kSize, kSize, Gradient);
    Show(ScreenView::kFill);
    ASSERT_EQ(CurrentScreenView->Mode(), ScreenView::kFill);
    m_layer->BeginEffects();
    EXPECT_EQ(CurrentScreenView->Mode(), ScreenView::kStretch);
    m_layer->EndEffects(false);
    EXPECT_EQ(CurrentScreenView->Mode(), ScreenView::kFit);
    EXPECT_EQ(m_layer->EffectMode(), ScreenView::kFit);
    // In mode 1 the chain keeps the layer's own mode.
    m_layer->Mode().SetValue(1);
    m_layer->SetPicturePosition(ScreenView::kFill);
    m_layer->BeginEffects();
    EXPECT_EQ(CurrentScreenView->Mode(), ScreenView::kRenderTarget);
    m_layer->EndEffects(false);
    EXPECT_EQ(CurrentScreenView->Mode(), ScreenView::kFill);
}

TEST_F(WaterOnDevice, DrawingServicesDrawUnlitAndLeaveTheWaterLit)
{
    MakePicture(kSize, kSize, Gradient);
    Show(ScreenView::kStretch);
    auto state = [this](D3DRENDERSTATETYPE type) {
        DWORD value = 0;
        Device()->GetRenderState(type, &value);
        return value;
    };
    m_layer->DrawMeshList(nullptr);
    EXPECT_EQ(state(D3DRS_LIGHTING), DWORD(TRUE));
    m_layer->DrawMeshListTextured(nullptr);
    EXPECT_EQ(state(D3DRS_LIGHTING), DWORD(TRUE));
    Device()->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_layer->DrawOverlayQuad(nullptr);
    EXPECT_EQ(state(D3DRS_ALPHABLENDENABLE), DWORD(FALSE));
    Device()->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    Device()->SetRenderState(D3DRS_ZENABLE, TRUE);
    m_layer->DrawTexturedQuad(nullptr);
    EXPECT_EQ(state(D3DRS_ALPHABLENDENABLE), DWORD(FALSE));
    EXPECT_EQ(state(D3DRS_ZENABLE), DWORD(FALSE));
    DWORD colourOp = 0;
    Device()->GetTextureStageState(0, D3DTSS_COLOROP, &colourOp);
    EXPECT_EQ(colourOp, DWORD(D3DTOP_SELECTARG1));
}

}  // namespace
