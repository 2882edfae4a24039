#include <gtest/gtest.h>

#include "brushes/Vo_BrushObj.h"
#include "brushes/Vo_FX_Constructor.h"
#include "brushes/Vo_WaterFX.h"
#include "brushes/Vo_WaterfallFX.h"
#include "support/DeviceFixture.h"
#include "support/BrushTesting.h"
#include "support/EffectTesting.h"

using namespace brush_testing;

namespace {

// A brush that counts the calls the runtime object forwards to it.
class CountingBrush : public Vo_FX_Constructor {
public:
    void Update(float time) override
    {
        Vo_FX_Constructor::Update(time);
        ++updates;
    }
    void Render(Vo_ABRender*) override { ++renders; }
    Vo_FX_Constructor* Clone() const override { return new CountingBrush(*this); }

    int updates = 0;
    int renders = 0;
};

using EffectBrush = WithGivenEffect<CountingBrush>;

using Vo_BrushObjTest = DeviceFixture;

// Only an enabled full-image brush with an effect asks the layer for the image drawn so far.
TEST_F(Vo_BrushObjTest, NeedsBackgroundOverFlagEnabledAndEffect)
{
    ComRef<ID3DXEffect> effect = effect_testing::LoadEffect(Device(), "waves");
    ASSERT_TRUE(effect);
    struct Case {
        int flag;
        int enabled;
        bool hasEffect;
        bool needs;
    } cases[] = {{0, 0, true, false}, {0, 1, true, false}, {1, 0, true, false},
                 {1, 1, true, true},  {1, 1, false, false}};
    for (const Case& c : cases) {
        EffectBrush description(c.hasEffect ? effect.Get() : nullptr);
        description.TechniqueFlag().SetValue(c.flag);
        std::unique_ptr<Vo_ABObj> object(description.CreateObject());
        object->SetEnabled(c.enabled);
        EXPECT_EQ(object->NeedsBackground(), c.needs) << c.flag << c.enabled << c.hasEffect;
        EXPECT_EQ(object->GetKind(), 4);
    }
}

// Full-image brushes that would paint nothing stay out of the layer's chain, so the image drawn so
// far is not lost: a water brush whose surface factor gives no plane. The waterfall paints only
// its region, so it stays out whether it is switched off or draws.
TEST_F(Vo_BrushObjTest, BrushesThatPaintNothingNeedNoBackground)
{
    ComRef<ID3DXEffect> waterfallEffect = effect_testing::LoadEffect(Device(), "waterfall");
    ComRef<ID3DXEffect> waterEffect = effect_testing::LoadEffect(Device(), "water");
    ASSERT_TRUE(waterfallEffect && waterEffect);
    for (int off : {0, 1}) {
        WithGivenEffect<Vo_WaterfallFX> falls(waterfallEffect.Get());
        falls.TechniqueFlag().SetValue(1);
        falls.OffFlag().SetValue(off);
        std::unique_ptr<Vo_ABObj> object(falls.CreateObject());
        auto* clone = static_cast<Vo_BrushObj*>(object.get())->Brush();
        EXPECT_EQ(clone->CanDraw(), off == 0) << "off flag " << off;
        EXPECT_FALSE(object->NeedsBackground()) << "off flag " << off;
    }
    struct Case {
        unsigned surfaceRaw;
        bool needs;
    } cases[] = {{20, true}, {0, false}, {10000, false}, {25000, false}};
    for (const Case& c : cases) {
        WithGivenEffect<Vo_WaterFX> water(waterEffect.Get());
        water.TechniqueFlag().SetValue(1);
        water.SurfaceFactor().SetValue(c.surfaceRaw);
        std::unique_ptr<Vo_ABObj> object(water.CreateObject());
        EXPECT_EQ(object->NeedsBackground(), c.needs) << "surface raw " << c.surfaceRaw;
    }
}

// The runtime object owns a clone and forwards the layer's calls to it.
TEST(Vo_BrushObjStandaloneTest, ForwardsToItsOwnClone)
{
    EffectBrush description(nullptr);
    std::unique_ptr<Vo_ABObj> object(description.CreateObject());
    auto* brush = static_cast<Vo_BrushObj*>(object.get())->Brush();
    ASSERT_NE(brush, &description);
    EXPECT_EQ(object->Owner(), brush);
    object->Update(0.5f);
    RecordingLayer layer(8, 8);
    object->Render(&layer);
    EXPECT_EQ(static_cast<EffectBrush*>(brush)->updates, 1);
    EXPECT_EQ(static_cast<EffectBrush*>(brush)->renders, 1);
    EXPECT_EQ(description.updates, 0);
}

}  // namespace
