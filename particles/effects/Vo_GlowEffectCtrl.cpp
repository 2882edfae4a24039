#include "particles/effects/Vo_GlowEffectCtrl.h"

#include <d3d9.h>

#include "model/ArchiveReads.h"
#include "model/TextureFrameSet.h"
#include "model/Vo_DocResManager.h"
#include "model/Vo_IOF_Virtual.h"
#include "particles/effects/Vo_GlowingObj.h"

namespace {

// The texture at the set's current frame; null without one.
ComRef<IDirect3DTexture9> CurrentFrame(const Vo_FileLink3& link)
{
    if (!CurrentDocResManager)
        return ComRef<IDirect3DTexture9>();
    const TextureFrameSet& set = CurrentDocResManager->GetTextureFrameSet(link);
    if (set.currentFrame >= set.frames.size())
        return ComRef<IDirect3DTexture9>();
    return set.frames[set.currentFrame];
}

}  // namespace

Vo_GlowEffectCtrl::Vo_GlowEffectCtrl()
{
    m_glowStrength.Rescale(0.01f, 0.0f);
    m_glowStrength.SetValue(100);
}

Vo_GlowEffectCtrl::Vo_GlowEffectCtrl(const Vo_GlowEffectCtrl& other)
    : Vo_FXParticleSystemCtrl(other),
      m_glowColour(other.m_glowColour.Value()),
      m_glowStrength(other.m_glowStrength),
      m_glowTexture(other.m_glowTexture),
      m_spriteTexture(other.m_spriteTexture)
{
}

Vo_GlowEffectCtrl::~Vo_GlowEffectCtrl() = default;

Vo_ABObj* Vo_GlowEffectCtrl::CreateObject()
{
    ResolveImages();
    return new Vo_GlowingObj(static_cast<Vo_GlowEffectCtrl*>(Clone()));
}

void Vo_GlowEffectCtrl::ResolveEffect()
{
    Vo_FXParticleSystemCtrl::ResolveEffect();
    TakeTextures();
}

void Vo_GlowEffectCtrl::TakeTextures()
{
    m_glowTexture = CurrentFrame(SecondPicture());
    m_spriteTexture = CurrentFrame(MainPicture());
}

void Vo_GlowEffectCtrl::Load(Vo_IOF_Virtual& stream)
{
    ReadRecordHeader(stream);
    int32_t colour = static_cast<int32_t>(m_glowColour.Value());
    stream.ReadInt(colour);
    m_glowColour.ValueRef() = static_cast<uint32_t>(colour);
    uint32_t strength = m_glowStrength.Value();
    stream.ReadUInt(strength);
    m_glowStrength.SetValue(strength);
    Vo_FXParticleSystemCtrl::Load(stream);
}
