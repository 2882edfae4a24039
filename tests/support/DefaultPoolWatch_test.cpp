// The default-pool watch and the draw-call counter that the device-reset tests judge by: each
// must see what it is there to see, or a scene that keeps a resource would pass.
#include "support/DefaultPoolWatch.h"
#include "support/DrawCallCounter.h"

#include <d3d9.h>
#include <d3dx9.h>

#include <string>
#include <vector>

#include "model/ComRef.h"
#include "model/Vo_DocResManager.h"
#include "model/Vo_HLSLEffectFile.h"
#include "support/BuildFolderAsCurrent.h"
#include "support/CurrentDeviceFixture.h"
#include "support/DeviceFixture.h"

namespace {

bool Mentions(const std::vector<std::string>& lines, const std::string& text)
{
    for (const std::string& line : lines)
        if (line.find(text) != std::string::npos)
            return true;
    return false;
}

// What is kept past the check is listed, what was let go of is not, and only the default pool
// counts; a reset succeeds once the watch has let go too.
using DefaultPoolWatchTest = DeviceFixture;

TEST_F(DefaultPoolWatchTest, ListsWhatIsStillHeld)
{
    ComRef<IDirect3DTexture9> keptTarget, keptManaged;
    ComRef<IDirect3DVertexBuffer9> keptBuffer;
    {
        DefaultPoolWatch watch(Device());
        watch.SetPhase("the test");
        ComRef<IDirect3DTexture9> released;
        ASSERT_EQ(Device()->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                          released.Receive(), nullptr), D3D_OK);
        ASSERT_EQ(Device()->CreateTexture(16, 4, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                          keptTarget.Receive(), nullptr), D3D_OK);
        ASSERT_EQ(Device()->CreateTexture(32, 32, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, keptManaged.Receive(),
                                          nullptr), D3D_OK);
        ASSERT_EQ(Device()->CreateVertexBuffer(96, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT,
                                               keptBuffer.Receive(), nullptr), D3D_OK);
        EXPECT_EQ(watch.MadeCount(), 3u);
        released.Reset();
        const std::vector<std::string> held = watch.ReleaseAndListHeld();
        EXPECT_EQ(held.size(), 2u);
        EXPECT_TRUE(Mentions(held, "render-target texture 16 x 4, made in the test (1 reference held)"));
        EXPECT_TRUE(Mentions(held, "default-pool vertex buffer of 96 bytes"));
    }
    EXPECT_NE(ResetDevice(), D3D_OK) << "a kept default-pool resource blocks the reset";
    keptTarget.Reset();
    keptBuffer.Reset();
    EXPECT_EQ(ResetDevice(), D3D_OK);
}

class DefaultPoolWatchEffectTest : public CurrentDeviceFixture {
    BuildFolderAsCurrent m_buildFolder;
};

// A render target still set on an effect when the effect is told of the loss is listed, though
// Wine's effect lets go of it there; one taken off the effect before is not.
TEST_F(DefaultPoolWatchEffectTest, ListsATextureLeftOnAnEffect)
{
    Vo_DocResManager store;
    ComRef<ID3DXEffect> effect = store.GetEffect(Vo_HLSLEffectFile(63, L"common_res.dll"));  // the heat haze
    ASSERT_TRUE(effect);
    for (bool unbound : {false, true}) {
        SCOPED_TRACE(unbound ? "taken off" : "left on");
        DefaultPoolWatch watch(Device());
        ComRef<IDirect3DTexture9> target;
        ASSERT_EQ(Device()->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                          target.Receive(), nullptr), D3D_OK);
        ASSERT_EQ(effect->SetTexture("SceneTex", target.Get()), D3D_OK);
        if (unbound)
            effect->SetTexture("SceneTex", nullptr);
        target.Reset();
        effect->OnLostDevice();
        const std::vector<std::string> held = watch.ReleaseAndListHeld();
        if (unbound)
            EXPECT_TRUE(held.empty());
        else
            EXPECT_TRUE(Mentions(held, "still set on the effect's \"SceneTex\"")) << held.size();
        effect->OnResetDevice();
    }
}

using DrawCallCounterTest = DeviceFixture;

TEST_F(DrawCallCounterTest, CountsEveryKindOfDraw)
{
    const float triangle[] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    const uint16_t indices[] = {0, 1, 2};
    DrawCallCounter draws(Device());
    ASSERT_EQ(Device()->BeginScene(), D3D_OK);
    Device()->SetFVF(D3DFVF_XYZ);
    Device()->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, 12);
    Device()->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 3, 1, indices, D3DFMT_INDEX16, triangle, 12);
    ComRef<IDirect3DVertexBuffer9> buffer;
    ASSERT_EQ(Device()->CreateVertexBuffer(sizeof triangle, 0, D3DFVF_XYZ, D3DPOOL_MANAGED, buffer.Receive(), nullptr),
              D3D_OK);
    Device()->SetStreamSource(0, buffer.Get(), 0, 12);
    Device()->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1);
    ComRef<IDirect3DIndexBuffer9> indexBuffer;
    ASSERT_EQ(Device()->CreateIndexBuffer(sizeof indices, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, indexBuffer.Receive(),
                                          nullptr), D3D_OK);
    Device()->SetIndices(indexBuffer.Get());
    Device()->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1);
    EXPECT_EQ(draws.Count(), 4);
    draws.Restart();
    Device()->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1);
    Device()->EndScene();
    EXPECT_EQ(draws.Count(), 1);
}

}  // namespace
