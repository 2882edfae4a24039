#include <gtest/gtest.h>

#include "brushes/Vo_BrushObj.h"
#include "brushes/Vo_FX_Constructor.h"
#include "support/DeviceFixture.h"
#include "tests/brushes/BrushTesting.h"
#include "tests/brushes/EffectTesting.h"

using namespace brush_testing;

namespace {

// A brush that takes a given effect instead of asking the resource store, and counts calls.
class EffectBrush : public Vo_FX_Constructor {
public:
    explicit EffectBrush(ID3DXEffect* effect) : m_given(effect) {}
    EffectBrush(const EffectBrush& other) = default;
    void LoadResources(MaskSlot* slot) override
    {
        ComRef<ID3DXEffect> held;
        held.Assign(m_given);
        SetEffect(held);
        SetMask(slot);
    }
    void Update(float time) override
    {
        Vo_FX_Constructor::Update(time);
        ++updates;
    }
    void Render(Vo_ABRender*) override { ++renders; }
    Vo_FX_Constructor* Clone() const override { return new EffectBrush(*this); }

    ID3DXEffect* m_given;
    int updates = 0;
    int renders = 0;
};

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
