#include "particles/effects/Vo_GlowingObj.h"

#include <d3dx9.h>
#include <objbase.h>

#include "model/CurrentDevice.h"
#include "model/RenderTargetPair.h"
#include "model/Vo_DocResManager.h"
#include "particles/effects/Vo_GlowEffectCtrl.h"
#include "runtime/PictureMesh.h"
#include "runtime/Vo_ABRender.h"
#include "runtime/Vo_TimeLineControl.h"

Vo_GlowingObj::Vo_GlowingObj(Vo_GlowEffectCtrl* clone) : Vo_ABObj(clone), m_emitter(clone)
{
    CoCreateGuid(&m_identity);
    SetOwner(m_emitter);
    BindCount(m_emitter->Count());
    m_emitter->ResolveEffect();
    if (CurrentDocResManager) {
        m_glowTarget = &CurrentDocResManager->GetRenderTargetPair(m_identity);
        m_glowTarget->Create(kGlowTargetSize, kGlowTargetSize);
    }
}

Vo_GlowingObj::~Vo_GlowingObj() = default;

bool Vo_GlowingObj::HasSpritesToDraw() const
{
    return m_emitter->Effect() && m_emitter->Count().Value() > 0 && QuadCapacity() > 0;
}

bool Vo_GlowingObj::NeedsBackground() const
{
    return HasSpritesToDraw() && m_glowTarget && m_glowTarget->Current();
}

void Vo_GlowingObj::Restart()
{
    m_emitter->Restart();
}

void Vo_GlowingObj::Update(float localTime)
{
    m_emitter->PrepareFrame();
    ParticleGeomArray::Update(localTime);
    FillSprites(*m_emitter);
}

void Vo_GlowingObj::GetBlendColor(const Vo_GlowEffectCtrl& emitter, float blendColor[4])
{
    const MediaColor& colour = emitter.GlowColour();
    blendColor[0] = float(colour.Red()) / 255.0f;
    blendColor[1] = float(colour.Green()) / 255.0f;
    blendColor[2] = float(colour.Blue()) / 255.0f;
    blendColor[3] = emitter.GlowStrength().Result() * emitter.Timeline().GetFadeFactor();
}

const char* Vo_GlowingObj::CompositeTechnique(int additive)
{
    return additive == 1 ? "Blend_Screen" : "Blend_Normal";
}

void Vo_GlowingObj::Render(Vo_ABRender* layer)
{
    if (!layer || !HasSpritesToDraw() || !IsFilled())
        return;
    ID3DXEffect* effect = m_emitter->Effect();
    if (NeedsBackground()) {
        float blendColor[4];
        GetBlendColor(*m_emitter, blendColor);
        D3DSURFACE_DESC desc = {};
        m_glowTarget->Current()->GetLevelDesc(0, &desc);

        // The glow sprites into the cleared glow target.
        effect->SetTexture("Texture1", m_emitter->GlowTexture());
        effect->SetTechnique("Blend_Max");
        m_glowTarget->Begin(*m_glowTarget);
        layer->PushTargetSize(desc, 3);
        if (CurrentDevice)
            CurrentDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00000000, 1.0f, 0);
        layer->DrawColoredIndexedWithEffect(this, &effect);
        m_glowTarget->End();
        layer->PopTargetSize();

        // The glow over the whole picture.
        IDirect3DTexture9** output = layer->GetOutputTexture();
        effect->SetTechnique(CompositeTechnique(m_emitter->Additive().Value()));
        effect->SetFloatArray("BlendColor", blendColor, 4);
        effect->SetTexture("Texture1", output ? *output : nullptr);
        effect->SetTexture("Texture2", m_glowTarget->Current());
        layer->DrawStripWithEffect(layer->GetPictureMesh(), &effect);
        // Render targets held by the effect would make a device reset fail.
        effect->SetTexture("Texture2", nullptr);
    }
    // The sprites themselves.
    effect->SetTechnique("Common");
    effect->SetTexture("Texture1", m_emitter->SpriteTexture());
    layer->DrawColoredIndexedWithEffect(this, &effect);
}
