#pragma once
// A device test of a brush effect that draws the ramp picture under a mask: the effect from the
// build folder with the ramp as its "Background" and the mask (the half mask unless the test names
// another) as its "Mask", over a target cleared to kCleared.
#include <string>

#include "support/DeviceFixture.h"
#include "support/EffectTesting.h"

namespace effect_testing {

class MaskedEffectFixture : public DeviceFixture {
public:
    static constexpr unsigned kSize = DeviceFixture::kSize;
    static constexpr uint32_t kCleared = 0xFF103050;

protected:
    void TearDown() override;
    // The effect with the picture and mask set, or a fatal failure. A test's SetUp calls it.
    void LoadMaskedEffect(const std::string& name, const TexelFormula& mask = HalfMask);

    ComRef<ID3DXEffect> m_effect;
    ComRef<IDirect3DTexture9> m_picture;
    ComRef<IDirect3DTexture9> m_mask;
};

// Device objects go before the device.
inline void MaskedEffectFixture::TearDown()
{
    m_effect.Reset();
    m_picture.Reset();
    m_mask.Reset();
    DeviceFixture::TearDown();
}

inline void MaskedEffectFixture::LoadMaskedEffect(const std::string& name, const TexelFormula& mask)
{
    ASSERT_FALSE(HasFatalFailure());
    m_effect = LoadEffect(Device(), name);
    ASSERT_TRUE(m_effect) << name << " effect not loaded";
    m_picture = MakeTexture(Device(), kSize, kSize, Ramp);
    m_mask = MakeTexture(Device(), kSize, kSize, mask);
    ASSERT_TRUE(m_picture && m_mask);
    m_effect->SetTexture("Background", m_picture.Get());
    m_effect->SetTexture("Mask", m_mask.Get());
}

}  // namespace effect_testing
