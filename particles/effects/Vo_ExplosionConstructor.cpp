#include "particles/effects/Vo_ExplosionConstructor.h"

#include <d3dx9.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "model/ClassReaderRegistration.h"
#include "model/ReadScaled.h"
#include "model/TextureFrameSet.h"
#include "model/Vo_DocResManager.h"
#include "model/Vo_IOF_Virtual.h"
#include "particles/sprites/SpriteParticle.h"
#include "runtime/AnimationState.h"
#include "runtime/Vo_TimeLineControl.h"

namespace {

ComRef<IDirect3DTexture9> CurrentFrame(const Vo_FileLink3& link)
{
    if (!CurrentDocResManager)
        return ComRef<IDirect3DTexture9>();
    const TextureFrameSet& set = CurrentDocResManager->GetTextureFrameSet(link);
    if (set.currentFrame >= set.frames.size())
        return ComRef<IDirect3DTexture9>();
    return set.frames[set.currentFrame];
}

void ColourToFloats(const MediaColor& colour, float rgb[3])
{
    rgb[0] = float(colour.Red()) / 255.0f;
    rgb[1] = float(colour.Green()) / 255.0f;
    rgb[2] = float(colour.Blue()) / 255.0f;
}

}  // namespace

Vo_ExplosionConstructor::Vo_ExplosionConstructor()
{
    m_noise[0].Rescale(-0.01f, 1.0f);
    m_noise[0].SetValue(21);
    m_noise[1].Rescale(0.01f, 0.0f);
    m_noise[1].SetValue(15);
    m_noise[2].Rescale(0.01f, 0.0f);
    m_noise[2].SetValue(42);
    m_driftClock.Rescale(0.005f, 0.0f);
    m_driftClock.SetValue(50);
    SpriteSize().SetValue(250);
    Speed().SetValue(100);
}

Vo_ExplosionConstructor::Vo_ExplosionConstructor(const Vo_ExplosionConstructor& other)
    : Vo_StatBaseFXCtrl(other),
      m_noise{other.m_noise[0], other.m_noise[1], other.m_noise[2]},
      m_driftDirection(other.m_driftDirection),
      m_driftClock(other.m_driftClock),
      m_seed(other.m_seed.Value()),
      m_randomFlag(other.m_randomFlag.Value()),
      m_colour2(other.m_colour2.Value()),
      m_gradient(other.m_gradient),
      m_noiseTexture(other.m_noiseTexture),
      m_previousOffsets{other.m_previousOffsets[0], other.m_previousOffsets[1]},
      m_offsets{other.m_offsets[0], other.m_offsets[1]},
      m_wholePart(other.m_wholePart),
      m_drawCount(other.m_drawCount)
{
    m_driftClock.CopyClock(other.m_driftClock);
}

Vo_ExplosionConstructor::~Vo_ExplosionConstructor() = default;

void Vo_ExplosionConstructor::LoadFields(Vo_IOF_Virtual& stream, int32_t version)
{
    for (UINTSclaleTo<float>& noise : m_noise)
        ReadScaled(stream, noise);
    stream.ReadUInt(m_driftDirection.ValueRef());
    ReadScaled(stream, m_driftClock);
    uint32_t legacy[5] = {0, 0, 0, 0, 0};
    if (version == 1)
        for (uint32_t& value : legacy)
            stream.ReadUInt(value);
    stream.ReadUInt(m_seed.ValueRef());
    stream.ReadInt(m_randomFlag.ValueRef());
    int32_t colour = static_cast<int32_t>(m_colour2.Value());
    stream.ReadInt(colour);
    m_colour2.ValueRef() = static_cast<uint32_t>(colour);
    Vo_StatBaseFXCtrl::Load(stream);
    if (version != 1 || stream.Failed())
        return;
    // Old records kept the timeline as five durations in milliseconds: fade in, visible, fade
    // out and two invisible pauses, played in a cycle.
    Vo_TimeLineControl& timeline = Timeline();
    const uint32_t invisible = uint32_t((uint64_t(legacy[3]) + legacy[4]) / 10);
    timeline.InvisibleMaximum().SetValue(invisible);
    timeline.InvisibleMinimum().SetValue(invisible);
    timeline.VisibleMaximum().SetValue(legacy[1] / 10);
    timeline.VisibleMinimum().SetValue(legacy[1] / 10);
    timeline.FadeIn().SetValue(legacy[0] / 10);
    timeline.FadeOut().SetValue(legacy[2] / 10);
    timeline.Mode().SetValue(Vo_TimeLineControl::kCycling);
}

void Vo_ExplosionConstructor::ResolveEffect()
{
    Vo_StatBaseFXCtrl::ResolveEffect();
    m_gradient = CurrentFrame(MainPicture());
    m_noiseTexture = CurrentFrame(SecondPicture());
    Reseed();
}

void Vo_ExplosionConstructor::Reseed()
{
    if (m_randomFlag.Value() != 0) {
        m_offsets[0] = float(std::rand()) / 32767.0f;
        m_offsets[1] = float(std::rand()) / 32767.0f;
        return;
    }
    std::srand(m_seed.Value());
    for (int i = 0; i < m_drawCount; ++i) {
        m_offsets[0] = float(std::rand()) / 32767.0f;
        m_offsets[1] = float(std::rand()) / 32767.0f;
    }
    ++m_drawCount;
}

void Vo_ExplosionConstructor::ClearOffsets()
{
    m_previousOffsets[0] = m_previousOffsets[1] = 0.0f;
    m_offsets[0] = m_offsets[1] = 0.0f;
    m_drawCount = 1;
    m_driftClock.ResetClock();
}

void Vo_ExplosionConstructor::Restart()
{
    ClearOffsets();
}

void Vo_ExplosionConstructor::UpdateParticle(SpriteParticle& p)
{
    m_driftClock.Advance(AccumulatedTime());
    const int state = Timeline().GetState();
    if (state == AnimationState::kInvisible)
        ClearOffsets();
    p.position = Position().Value();
    float grow = 1.0f;
    if (state == AnimationState::kFadingIn) {
        const float fade = Timeline().GetFadeFactor();
        p.opacity = std::min(1.0f, 5.0f * fade);
        UpdateSpriteParticleColor(*this, p);
        grow = 0.25f + 0.75f * fade;
    }
    const float half = state == AnimationState::kInvisible ? 0.0f : float(SpriteSize().Value() >> 1) * grow;
    p.halfWidth = half;
    p.halfHeight = half;
}

float Vo_ExplosionConstructor::RollOffsets()
{
    float whole = 0.0f;
    const float fraction = std::modf(AccumulatedTime(), &whole);
    if (m_wholePart < whole) {
        m_previousOffsets[0] = m_offsets[0];
        m_previousOffsets[1] = m_offsets[1];
        Reseed();
        m_wholePart = whole;
    }
    return fraction;
}

bool Vo_ExplosionConstructor::SetEffectParams(Vo_ABRender*)
{
    // The offsets roll, and a fixed seed reseeds rand(), whether or not there is an effect.
    const float fraction = RollOffsets();
    ID3DXEffect* effect = Effect();
    if (!effect)
        return false;
    float colour1[3], colour2[3];
    ColourToFloats(Colour(), colour1);
    ColourToFloats(m_colour2, colour2);
    const float noise[3] = {m_noise[0].Result(), m_noise[1].Result(), m_noise[2].Result()};

    const float d = m_driftClock.Accumulated();
    const float driftX = -m_driftDirection.XAxis().x * d;
    const float driftY = m_driftDirection.XAxis().y * d;
    const float shift[4] = {m_previousOffsets[0] + driftX, m_previousOffsets[1] + driftY, m_offsets[0] + driftX,
                            m_offsets[1] + driftY};

    const int state = Timeline().GetState();
    const float fade = Timeline().GetFadeFactor();
    const float phase3 = state == AnimationState::kFadingOut ? 1.0f - fade : 0.0f;
    const float phase1 = state == AnimationState::kFadingIn ? 2.0f * (1.0f - fade) : 0.0f;
    const float time[2] = {fraction, 1.0f - fraction};
    const float phase3rd[2] = {phase3, 1.0f - phase3};

    effect->SetTechnique("Main");
    effect->SetTexture("GradientTex", m_gradient.Get());
    effect->SetTexture("NoiseTex", m_noiseTexture.Get());
    effect->SetFloatArray("color1", colour1, 3);
    effect->SetFloatArray("color2", colour2, 3);
    effect->SetFloatArray("noise_shift", shift, 4);
    effect->SetFloatArray("noise_params", noise, 3);
    effect->SetFloatArray("time", time, 2);
    effect->SetFloatArray("phase_3rd", phase3rd, 2);
    effect->SetFloat("phase_1st", phase1);
    return true;
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_ExplosionConstructor);
