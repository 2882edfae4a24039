#include "particles/effects/Vo_FXParticleSystemCtrl.h"

#include <d3dx9effect.h>

#include "model/ArchiveReads.h"
#include "model/Vo_DocResManager.h"

Vo_FXParticleSystemCtrl::Vo_FXParticleSystemCtrl(const Vo_FXParticleSystemCtrl& other)
    : Vo_ParticleSystemCtrl(other), m_effect(other.m_effect)
{
    m_effectLink.Assign(other.m_effectLink.GetPath(), other.m_effectLink.GetKey().Stamp());
}

Vo_FXParticleSystemCtrl::~Vo_FXParticleSystemCtrl() = default;

void Vo_FXParticleSystemCtrl::ResolveEffect()
{
    m_effect = CurrentDocResManager ? CurrentDocResManager->GetEffect(m_effectLink) : ComRef<ID3DXEffect>();
}

void Vo_FXParticleSystemCtrl::Load(Vo_IOF_Virtual& stream)
{
    ReadRecordHeader(stream);
    ReadFileLink(stream, m_effectLink);
    Vo_BaseSpriteProp::Load(stream);
}
