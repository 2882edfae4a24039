// The brushes' and the flame layer's effects reach a scene through the resource module
// "common_res.dll" under the ids their links name.
#include "model/CurrentDevice.h"
#include "model/Vo_DocResManager.h"
#include "model/Vo_HLSLEffectFile.h"
#include "support/BuildFolderAsCurrent.h"
#include "support/CurrentDeviceFixture.h"
#include "support/TestPaths.h"
#include "support/EffectTesting.h"

namespace {

class BrushEffectsInModuleTest : public CurrentDeviceFixture {
    BuildFolderAsCurrent m_buildFolder;
};

TEST_F(BrushEffectsInModuleTest, EachIdGivesItsEffect)
{
    struct Case {
        int32_t id;
        const char* technique;
        const char* parameter;
    } cases[] = {
        {75, "MainFX", "offset"},
        {76, "PS_ColorDodge", "BlendColor"},
        {77, "MainFX", "direction_n"},
        {78, "MainFX", "coord_transf"},
        {88, "MainFX", "frequency"},
        {90, "MainFX", "BampTrans"},
        {91, "MainFX", "Direction"},
        {102, "MainFX", "amplitude"},
        {103, "MainFX", "bg_scale_factor"},
        {105, "DrawBackground", "treshold"},
        {110, "MainFX", "coord_transf"},
        {111, "MainFX", "Bend"},
        {92, "AsEffect", "bg_scale_factor"},
        {63, "BumpmapDistortLow2", "stenght"},
        {162, "MainFX", "mask_tex_shift"},
    };
    Vo_DocResManager store;
    for (const Case& c : cases) {
        ComRef<ID3DXEffect> effect = store.GetEffect(Vo_HLSLEffectFile(c.id, L"common_res.dll"));
        ASSERT_TRUE(effect) << c.id;
        EXPECT_NE(effect->GetTechniqueByName(c.technique), nullptr) << c.id;
        EXPECT_NE(effect->GetParameterByName(nullptr, c.parameter), nullptr) << c.id;
    }
}

}  // namespace
