// The shipped resource module "common_res.dll" holds exactly the ids the scene classes name:
// every picture decodes to a texture, every mesh to a mesh with faces, every effect is created
// and its techniques validate; and it carries no test fixture.
#include <windows.h>
#include <d3dx9.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "model/CurrentDevice.h"
#include "model/Vo_DocResManager.h"
#include "model/Vo_HLSLEffectFile.h"
#include "model/Vo_ImageFileLink.h"
#include "model/Vo_MeshFile.h"
#include "support/BuildFolderAsCurrent.h"
#include "support/CurrentDeviceFixture.h"
#include "support/TestPaths.h"
#include "ResourceTestData.h"

namespace {

enum class Kind { Picture, Mesh, Effect };

struct ModuleEntry {
    int id;
    Kind kind;
};

// Every id a scene class names, and the effects kept under free ids.
const ModuleEntry kEntries[] = {
    // pictures
    {5, Kind::Picture}, {6, Kind::Picture}, {7, Kind::Picture}, {8, Kind::Picture}, {40, Kind::Picture},
    {58, Kind::Picture}, {59, Kind::Picture}, {60, Kind::Picture}, {62, Kind::Picture},
    {71, Kind::Picture}, {72, Kind::Picture}, {89, Kind::Picture}, {93, Kind::Picture},
    {95, Kind::Picture}, {98, Kind::Picture}, {2016, Kind::Picture},
    // meshes
    {68, Kind::Mesh}, {69, Kind::Mesh}, {70, Kind::Mesh},
    // effects
    {63, Kind::Effect}, {75, Kind::Effect}, {76, Kind::Effect}, {77, Kind::Effect}, {78, Kind::Effect},
    {88, Kind::Effect}, {90, Kind::Effect}, {91, Kind::Effect}, {92, Kind::Effect}, {97, Kind::Effect},
    {102, Kind::Effect}, {103, Kind::Effect}, {105, Kind::Effect}, {110, Kind::Effect},
    {111, Kind::Effect}, {116, Kind::Effect}, {160, Kind::Effect}, {161, Kind::Effect},
    {162, Kind::Effect}, {163, Kind::Effect}, {164, Kind::Effect}, {165, Kind::Effect},
};

// The vertex size the 3D objects ask meshes for: position, normal, one texture coordinate.
const uint32_t kMeshStride = 32;

BOOL CALLBACK CollectId(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR ids)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::set<int>*>(ids)->insert(static_cast<int>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

// The ids of one resource type in the module, or nothing when the module does not open.
std::set<int> IdsOfType(const wchar_t* module, LPCWSTR type)
{
    std::set<int> ids;
    HMODULE handle = LoadLibraryExW(module, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!handle)
        return ids;
    EnumResourceNamesW(handle, type, CollectId, reinterpret_cast<LONG_PTR>(&ids));
    FreeLibrary(handle);
    return ids;
}

class ResourceModuleContentsTest : public CurrentDeviceFixture {
    BuildFolderAsCurrent m_buildFolder;
};

TEST_F(ResourceModuleContentsTest, HoldsExactlyTheNamedIdsAndNoFixture)
{
    std::set<int> expectedFiles, expectedEffects;
    for (const ModuleEntry& entry : kEntries)
        (entry.kind == Kind::Effect ? expectedEffects : expectedFiles).insert(entry.id);
    EXPECT_EQ(IdsOfType(L"common_res.dll", L"QNT"), expectedFiles);
    EXPECT_EQ(IdsOfType(L"common_res.dll", MAKEINTRESOURCEW(10)), expectedEffects);  // RT_RCDATA
}

TEST_F(ResourceModuleContentsTest, EveryIdLoadsThroughTheStore)
{
    Vo_DocResManager store;
    for (const ModuleEntry& entry : kEntries) {
        SCOPED_TRACE("id " + std::to_string(entry.id));
        switch (entry.kind) {
        case Kind::Picture: {
            const TextureFrameSet& set = store.GetTextureFrameSet(Vo_ImageFileLink(entry.id, L"common_res.dll"));
            ASSERT_FALSE(set.frames.empty());
            EXPECT_TRUE(set.frames[0]);
            EXPECT_GT(set.width, 0u);
            EXPECT_GT(set.height, 0u);
            break;
        }
        case Kind::Mesh: {
            const MeshRecord& mesh = store.GetMesh(Vo_MeshFile(entry.id, L"common_res.dll"), kMeshStride);
            EXPECT_TRUE(mesh.vertexBuffer);
            EXPECT_GT(mesh.faceCount, 0u);
            break;
        }
        case Kind::Effect: {
            ComRef<ID3DXEffect> effect = store.GetEffect(Vo_HLSLEffectFile(entry.id, L"common_res.dll"));
            ASSERT_TRUE(effect);
            D3DXEFFECT_DESC desc = {};
            ASSERT_EQ(effect->GetDesc(&desc), S_OK);
            EXPECT_GT(desc.Techniques, 0u);
            for (UINT t = 0; t < desc.Techniques; ++t) {
                D3DXHANDLE technique = effect->GetTechnique(t);
                EXPECT_EQ(effect->ValidateTechnique(technique), S_OK) << "technique " << t;
            }
            break;
        }
        }
    }
}

// The sound items' icon (2016): a 64 x 64 loudspeaker, slate (0.20, 0.24, 0.32) in its box
// (x 0.14 to 0.32 of the width), light blue (0.55, 0.80, 1.0) waves 0.035 wide on rings of
// radius 0.14, 0.26 and 0.38 around the cone's mouth (0.52, 0.5) within 45 degrees of the axis,
// transparent elsewhere. Texel centres are at (x + 0.5) / 64.
TEST_F(ResourceModuleContentsTest, SoundIconIsALoudspeakerWithWaves)
{
    Vo_DocResManager store;
    const TextureFrameSet& set = store.GetTextureFrameSet(Vo_ImageFileLink(2016, L"common_res.dll"));
    ASSERT_EQ(set.frames.size(), 1u);
    EXPECT_EQ(set.width, 64u);
    EXPECT_EQ(set.height, 64u);
    IDirect3DTexture9* icon = set.frames[0].Get();
    // (14, 31) is at u 0.227 in the box: slate, opaque; (49, 31) is 0.254 from the mouth, on the
    // middle ring: light blue, opaque (0.55 x 255 = 140.25).
    EXPECT_TRUE(ColorsNear(restest::TexelAt(icon, 14, 31), 0xFF333D52, 1));
    EXPECT_TRUE(ColorsNear(restest::TexelAt(icon, 49, 31), 0xFF8CCCFF, 1));
    // Transparent: a corner; (45, 31) 0.191 from the mouth, between the first two rings; (33, 56)
    // on the outer ring but straight below the mouth, outside the waves' 90 degrees.
    for (const POINT& clear : {POINT{0, 0}, POINT{63, 63}, POINT{45, 31}, POINT{33, 56}})
        EXPECT_EQ(restest::TexelAt(icon, clear.x, clear.y) >> 24, 0u) << clear.x << "," << clear.y;
}

}  // namespace
