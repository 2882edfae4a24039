// The rotation and bend brushes take the picture's aspect back out of "Scale" (aspect / s, 1 / s),
// and the water repeats its bump picture 1 / s times: a stored scale of 0 sends infinities, and the
// points they make are not numbers, which would scatter the masked area. Such a brush draws
// nothing, and as a full-image effect it stays out of the layer's effect chain; any other scale
// draws.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "brushes/Vo_BendFX.h"
#include "brushes/Vo_BrushObj.h"
#include "brushes/Vo_RotationFX.h"
#include "brushes/Vo_WaterFX.h"
#include "runtime/PicturePlacement.h"
#include "support/BrushTesting.h"
#include "support/CurrentDeviceFixture.h"
#include "support/EffectTesting.h"

using namespace brush_testing;

namespace {

using ScaleZeroTest = CurrentDeviceFixture;

TEST_F(ScaleZeroTest, RotationBendAndWaterDrawNothingAtScaleZero)
{
    SetPicturePlacement(ScreenQuad(), 64, 64, 200, 100, 64, 64);
    struct Case {
        const char* effect;
        std::function<Vo_FX_Constructor*(ID3DXEffect*)> make;
    } cases[] = {
        {"rotation",
         [](ID3DXEffect* effect) {
             auto* rotation = new WithGivenEffect<Vo_RotationFX>(effect);
             rotation->EllipseRatio().SetValue(1000);
             return rotation;
         }},
        {"bend", [](ID3DXEffect* effect) { return new WithGivenEffect<Vo_BendFX>(effect); }},
        {"water", [](ID3DXEffect* effect) { return new WithGivenEffect<Vo_WaterFX>(effect); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.effect);
        ComRef<ID3DXEffect> effect = effect_testing::LoadEffect(Device(), c.effect);
        ASSERT_TRUE(effect);
        for (int flag : {0, 1}) {
            for (unsigned scaleRaw : {0u, 50u}) {
                SCOPED_TRACE("technique flag " + std::to_string(flag) + ", scale raw " + std::to_string(scaleRaw));
                std::unique_ptr<Vo_FX_Constructor> description(c.make(effect.Get()));
                description->TechniqueFlag().SetValue(flag);
                description->ScaleParam().SetValue(scaleRaw);
                std::unique_ptr<Vo_ABObj> object(description->CreateObject());
                Vo_FX_Constructor* brush = static_cast<Vo_BrushObj*>(object.get())->Brush();
                brush->Update(0.5f);
                const bool draws = scaleRaw != 0;
                EXPECT_EQ(brush->CanDraw(), draws);
                EXPECT_EQ(object->NeedsBackground(), draws && flag != 0);
                RecordingLayer layer(200, 100);
                object->Render(&layer);
                EXPECT_EQ(layer.draws.size(), draws ? 1u : 0u);
            }
        }
    }
}

}  // namespace
