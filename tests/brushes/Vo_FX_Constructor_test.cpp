#include <gtest/gtest.h>

#include "brushes/Vo_FX_Constructor.h"
#include "brushes/Vo_WavesFX.h"
#include "model/CurrentDevice.h"
#include "runtime/PicturePlacement.h"

#include <cstring>
#include <memory>
#include "support/DeviceFixture.h"
#include "support/BrushTesting.h"
#include "support/EffectTesting.h"

using namespace brush_testing;

namespace {

// A brush with the base's behaviour only.
class BaseOnlyBrush : public Vo_FX_Constructor {
public:
    void Render(Vo_ABRender* layer) override { RenderCommon(layer); }
    Vo_FX_Constructor* Clone() const override { return new BaseOnlyBrush(*this); }
    FXGridMesh& GridRef() { return m_grid; }
};

using PlainBrush = WithGivenEffect<BaseOnlyBrush>;

// Version 1 keeps the constructor's scale and the zero region, version 2 reads the scale, version 3
// the region and its flag as well.
TEST(Vo_FX_ConstructorTest, RecordVersions)
{
    struct Case {
        int32_t version;
        uint32_t scaleRaw;
        float firstCorner;
        int regionFlag;
    } cases[] = {{1, 50, 0.0f, 0}, {2, 80, 0.0f, 0}, {3, 80, 1.0f, 7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        QueuedStream stream;
        PushFxRecord(stream, c.version, 35, 1, L"effects.dll", 12, 80);
        PlainBrush brush;
        brush.Load(stream);
        EXPECT_FALSE(stream.Failed());
        EXPECT_EQ(stream.Remaining(), 0u);
        EXPECT_EQ(brush.Speed().Value(), 35u);
        EXPECT_TRUE(brush.IsFullImageEffect());
        wchar_t text[40];
        StringFromGUID2(brush.Guid(), text, 40);
        EXPECT_STREQ(text, kGuidText);
        EXPECT_EQ(brush.IdentityName(), L"brush one");
        EXPECT_EQ(brush.IdentityFlag(), 0);
        EXPECT_EQ(brush.EffectLink().GetPath(), L"effects.dll");
        EXPECT_EQ(brush.EffectLink().GetKey().Stamp(), 12);
        EXPECT_EQ(brush.ScaleParam().Value(), c.scaleRaw);
        EXPECT_EQ(brush.Region().Corner(0).Value().x, c.firstCorner);
        EXPECT_EQ(brush.RegionFlag().Value(), c.regionFlag);
        EXPECT_EQ(brush.Name(), L"object name");
    }
}

// The phase grows by speed x step; a step above 0.2 s counts as 0.2 s, and time going back adds
// nothing and restarts the clock there.
TEST(Vo_FX_ConstructorTest, PhaseClock)
{
    PlainBrush brush;
    brush.Speed().SetValue(10);  // scale 1: ten phase units per second
    struct Step {
        float time;
        float phase;
    } steps[] = {{0.1f, 1.0f}, {0.15f, 1.5f}, {5.0f, 3.5f}, {1.0f, 3.5f}, {1.1f, 4.5f}};
    for (const Step& s : steps) {
        brush.Update(s.time);
        EXPECT_NEAR(brush.Phase(), s.phase, 1e-5f) << s.time;
    }
}

TEST(Vo_FX_ConstructorTest, IdentityAndDefaults)
{
    PlainBrush a, b;
    EXPECT_NE(std::memcmp(&a.Guid(), &b.Guid(), sizeof(GUID)), 0);
    EXPECT_FLOAT_EQ(a.ScaleParam().Result(), 1.0f);
    EXPECT_EQ(a.IdentityFlag(), 1);
    EXPECT_FALSE(a.IsFullImageEffect());

    // A clone keeps the GUID, so the runtime object finds its description's mask.
    std::unique_ptr<Vo_FX_Constructor> clone(a.Clone());
    EXPECT_EQ(std::memcmp(&a.Guid(), &clone->Guid(), sizeof(GUID)), 0);

    const GUID before = a.Guid();
    a.ResetIdentity();
    EXPECT_NE(std::memcmp(&a.Guid(), &before, sizeof(GUID)), 0);
    EXPECT_NE(std::memcmp(&a.Guid(), &b.Guid(), sizeof(GUID)), 0);
}

using Vo_FX_ConstructorDeviceTest = DeviceFixture;

// Clones share the mask and effect with a reference each; Assign lets go of the target's own.
TEST_F(Vo_FX_ConstructorDeviceTest, CloneAndAssignKeepReferencesBalanced)
{
    ComRef<ID3DXEffect> effect = effect_testing::LoadEffect(Device(), "waves");
    ASSERT_TRUE(effect);
    auto white = [](unsigned, unsigned) { return 0xFFFFFFFFu; };
    MaskSlot maskA = effect_testing::MakeTexture(Device(), 4, 4, white);
    MaskSlot maskB = effect_testing::MakeTexture(Device(), 4, 4, white);
    const ULONG effectRefs = RefCount(effect.Get()), aRefs = RefCount(maskA.Get()), bRefs = RefCount(maskB.Get());
    IDirect3DDevice9* previous = CurrentDevice;
    CurrentDevice = Device();
    {
        PlainBrush source;
        source.SetMask(&maskA);
        source.GiveEffect(effect.Get());
        ASSERT_EQ(BuildFXGrid(source.GridRef(), 2, 2), D3D_OK);
        IDirect3DVertexBuffer9* sourceGrid = source.GridRef().VertexBuffer();
        const ULONG gridRefs = RefCount(sourceGrid);
        EXPECT_EQ(RefCount(maskA.Get()), aRefs + 1);
        EXPECT_EQ(RefCount(effect.Get()), effectRefs + 1);
        {
            std::unique_ptr<Vo_FX_Constructor> clone(source.Clone());
            EXPECT_EQ(clone->Mask(), maskA.Get());
            EXPECT_EQ(clone->Effect(), effect.Get());
            EXPECT_EQ(RefCount(maskA.Get()), aRefs + 2);
            EXPECT_EQ(RefCount(effect.Get()), effectRefs + 2);
            EXPECT_EQ(clone->Grid().VertexBuffer(), sourceGrid);
            EXPECT_EQ(RefCount(sourceGrid), gridRefs + 1);
            EXPECT_EQ(clone->Grid().columns, 2);
        }
        EXPECT_EQ(RefCount(maskA.Get()), aRefs + 1);
        EXPECT_EQ(RefCount(sourceGrid), gridRefs);

        PlainBrush target;
        target.SetMask(&maskB);
        ASSERT_EQ(BuildFXGrid(target.GridRef(), 1, 1), D3D_OK);
        ComRef<IDirect3DVertexBuffer9> targetGrid;
        targetGrid.Assign(target.GridRef().VertexBuffer());
        const ULONG targetGridRefs = RefCount(targetGrid.Get());
        EXPECT_EQ(RefCount(maskB.Get()), bRefs + 1);
        target.Assign(source);
        EXPECT_EQ(target.Mask(), maskA.Get());
        EXPECT_EQ(RefCount(maskB.Get()), bRefs);
        EXPECT_EQ(RefCount(targetGrid.Get()), targetGridRefs - 1);
        EXPECT_EQ(target.Grid().VertexBuffer(), sourceGrid);
        EXPECT_EQ(target.Grid().rows, 2);
        EXPECT_EQ(RefCount(maskA.Get()), aRefs + 2);
        EXPECT_EQ(RefCount(effect.Get()), effectRefs + 2);

        // The mask slot of the brush itself changes nothing.
        target.SetMask(target.GetMask());
        EXPECT_EQ(RefCount(maskA.Get()), aRefs + 2);
        // An empty slot leaves the brush without a mask.
        MaskSlot empty;
        target.SetMask(&empty);
        EXPECT_EQ(target.Mask(), nullptr);
        EXPECT_EQ(RefCount(maskA.Get()), aRefs + 1);
        // A new identity lets go of the mask found under the old one.
        source.ResetIdentity();
        EXPECT_EQ(source.Mask(), nullptr);
        EXPECT_EQ(RefCount(maskA.Get()), aRefs);
    }
    EXPECT_EQ(RefCount(maskA.Get()), aRefs);
    EXPECT_EQ(RefCount(effect.Get()), effectRefs);
    CurrentDevice = previous;
}

// A 2 x 2 grid: nine TexVertex corners spread bilinearly over the region, with texture coordinates
// from the picture's size, and eight triangles, two per cell.
TEST_F(Vo_FX_ConstructorDeviceTest, GridOverTheRegion)
{
    IDirect3DDevice9* previous = CurrentDevice;
    CurrentDevice = Device();
    PlainBrush brush;
    const D3DXVECTOR3 corners[4] = {{10, 20, 0}, {10, 60, 0}, {50, 20, 0}, {50, 60, 0}};
    for (int i = 0; i < 4; ++i)
        brush.Region().Corner(i).SetValue(corners[i]);
    FXGridMesh& grid = brush.GridRef();
    ASSERT_EQ(BuildFXGrid(grid, 2, 2), D3D_OK);
    EXPECT_EQ(grid.columns, 2);
    EXPECT_EQ(grid.rows, 2);
    EXPECT_EQ(grid.VertexCount(), 9u);
    EXPECT_EQ(grid.PrimitiveType(), D3DPT_TRIANGLELIST);
    EXPECT_EQ(grid.PrimitiveCount(), 0u);
    EXPECT_EQ(grid.IndexedPrimitiveCount(), 8u);
    D3DVERTEXBUFFER_DESC desc = {};
    ASSERT_EQ(grid.VertexBuffer()->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Size, 9 * sizeof(TexVertex));
    EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);

    SetPicturePlacement(ScreenQuad(), 64, 64, 100, 80, 64, 64);
    brush.UpdateRegionMesh();
    TexVertex* v = nullptr;
    ASSERT_EQ(grid.VertexBuffer()->Lock(0, 0, reinterpret_cast<void**>(&v), D3DLOCK_READONLY), D3D_OK);
    struct Expected {
        int index;
        float x, y, u, v;
    } expected[] = {{0, 10, 20, 0.1f, 0.25f}, {1, 10, 40, 0.1f, 0.5f}, {4, 30, 40, 0.3f, 0.5f},
                    {8, 50, 60, 0.5f, 0.75f}};
    for (const Expected& e : expected) {
        EXPECT_FLOAT_EQ(v[e.index].x, e.x) << e.index;
        EXPECT_FLOAT_EQ(v[e.index].y, e.y) << e.index;
        EXPECT_FLOAT_EQ(v[e.index].u, e.u) << e.index;
        EXPECT_FLOAT_EQ(v[e.index].v, e.v) << e.index;
    }
    grid.VertexBuffer()->Unlock();

    uint16_t* indices = nullptr;
    ASSERT_EQ(grid.IndexBuffer()->Lock(0, 0, reinterpret_cast<void**>(&indices), D3DLOCK_READONLY), D3D_OK);
    const uint16_t firstCell[6] = {0, 1, 3, 3, 1, 4};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(indices[i], firstCell[i]) << i;
    grid.IndexBuffer()->Unlock();
    CurrentDevice = previous;
}

// Assign copies the values and tells the parameters' observers.
TEST(Vo_FX_ConstructorTest, AssignCopiesValues)
{
    QueuedStream stream;
    PushFxRecord(stream, 3, 35, 1, L"effects.dll", 12, 80);
    PlainBrush source;
    source.Load(stream);
    source.Update(0.1f);
    PlainBrush target;
    target.Assign(source);
    EXPECT_EQ(target.Speed().Value(), 35u);
    EXPECT_EQ(target.Phase(), source.Phase());
    EXPECT_TRUE(target.IsFullImageEffect());
    EXPECT_EQ(target.ScaleParam().Value(), 80u);
    EXPECT_EQ(target.Region().Corner(3).Value().z, source.Region().Corner(3).Value().z);
    EXPECT_EQ(std::memcmp(&target.Guid(), &source.Guid(), sizeof(GUID)), 0);
    EXPECT_EQ(target.Name(), L"object name");
    EXPECT_EQ(target.EffectLink().GetPath(), L"effects.dll");
}

// The common step: technique by flag, "Scale" from the picture's aspect, a white mask when there is
// none, the layer's image as "Background", one strip draw.
TEST_F(Vo_FX_ConstructorDeviceTest, RenderCommonSetsTheSharedParameters)
{
    ComRef<ID3DXEffect> effect = effect_testing::LoadEffect(Device(), "waves");
    ASSERT_TRUE(effect);
    ComRef<IDirect3DTexture9> picture =
        effect_testing::MakeTexture(Device(), 4, 4, [](unsigned, unsigned) { return 0xFF00FF00u; });
    IDirect3DDevice9* previous = CurrentDevice;
    CurrentDevice = Device();
    for (int flag : {0, 1}) {
        PlainBrush brush;
        brush.GiveEffect(effect.Get());
        brush.TechniqueFlag().SetValue(flag);
        brush.ScaleParam().SetValue(100);  // 2.0
        RecordingLayer layer(800, 400);
        layer.m_output = picture.Get();
        brush.Render(&layer);
        ASSERT_EQ(layer.draws.size(), 1u);
        EXPECT_FALSE(layer.draws[0].indexed);
        EXPECT_EQ(layer.draws[0].technique, flag ? "MainFX" : "Main");
        EXPECT_EQ(layer.draws[0].background, picture.Get());
        float scale[2] = {};
        effect->GetFloatArray("Scale", scale, 2);
        EXPECT_FLOAT_EQ(scale[0], 1.0f);
        EXPECT_FLOAT_EQ(scale[1], 0.5f);
        IDirect3DBaseTexture9* mask = nullptr;
        effect->GetTexture("Mask", &mask);
        EXPECT_NE(mask, nullptr) << "a missing mask is replaced by a white one";
        if (mask)
            mask->Release();
    }
    CurrentDevice = previous;
}

// A brush whose effect could not be made draws nothing.
TEST(Vo_FX_ConstructorTest, NoEffectDrawsNothing)
{
    PlainBrush brush;
    RecordingLayer layer(64, 64);
    brush.Render(&layer);
    brush.DrawWithTechnique(&layer);
    brush.SetScaleMaskBackground(&layer);
    EXPECT_TRUE(layer.draws.empty());
}

}  // namespace
