#include "particles/sprites/Vo_SpriteArrayObj.h"

#include <algorithm>

#include "model/Vo_DocResManager.h"
#include "particles/sprites/Vo_ParticleSystemCtrl.h"
#include "runtime/Vo_ABRender.h"

Vo_SpriteArrayObj::Vo_SpriteArrayObj(Vo_ParticleSystemCtrl* clone) : Vo_ABObj(clone), m_emitter(clone)
{
    if (CurrentDocResManager) {
        const TextureFrameSet& frames = m_emitter->PictureSource() == 1
                                            ? CurrentDocResManager->LoadImageSetFromModule(m_emitter->MainPicture())
                                            : CurrentDocResManager->GetTextureFrameSet(m_emitter->MainPicture());
        SetFrameSet(frames);
    }
    SetOwner(m_emitter);
    BindCount(m_emitter->Count());
    if (CurrentDocResManager && !m_emitter->SecondPicture().GetPath().empty()) {
        const TextureFrameSet& second = CurrentDocResManager->GetTextureFrameSet(m_emitter->SecondPicture());
        if (second.currentFrame < second.frames.size())
            m_overlay = second.frames[second.currentFrame];
    }
}

Vo_SpriteArrayObj::~Vo_SpriteArrayObj() = default;

void Vo_SpriteArrayObj::Render(Vo_ABRender* render)
{
    if (render)
        render->DrawSpriteMesh(this);
}

void Vo_SpriteArrayObj::Relayout()
{
    m_emitter->UpdatePixelRect();
}

bool Vo_SpriteArrayObj::HitTest(float x, float y) const
{
    return m_emitter->HitTest(x, y);
}

void Vo_SpriteArrayObj::Restart()
{
    m_emitter->Restart();
    for (SpriteParticle& p : Particles())
        ClearSpriteParticleTimers(p);
}

void Vo_SpriteArrayObj::Update(float localTime)
{
    ParticleGeomArray::Update(localTime);
    const bool changed = AdvanceFrame(m_emitter->FrameSpeed().Accumulated());
    if (m_emitter->RefillOnFrame().Value() == 0 || changed)
        FillSprites(*m_emitter);
}

int Vo_SpriteArrayObj::QuadsToDraw() const
{
    if (!IsFilled())
        return 0;
    return int(std::min(m_emitter->GetParticleCount(), QuadCapacity()));
}

int Vo_SpriteArrayObj::AdditiveFlag() const
{
    return m_emitter->Additive().Value();
}
