#include "particles/effects/Vo_FXObj.h"

#include <d3dx9effect.h>

#include "particles/effects/Vo_StatBaseFXCtrl.h"
#include "runtime/Vo_ABRender.h"

Vo_FXObj::Vo_FXObj(Vo_StatBaseFXCtrl* clone) : Vo_ABObj(clone), m_emitter(clone)
{
    m_geometry.SetOwner(m_emitter);
    m_geometry.BindCount(m_emitter->Count());
    m_emitter->ResolveEffect();
}

Vo_FXObj::~Vo_FXObj() = default;

void Vo_FXObj::Render(Vo_ABRender* layer)
{
    if (!layer)
        return;
    const bool ready = m_emitter->SetEffectParams(layer);
    ID3DXEffect* effect = m_emitter->Effect();
    if (!ready || !effect || !m_geometry.IsFilled())
        return;
    layer->DrawColoredIndexedWithEffect(&m_geometry, &effect);
    // A render target left bound to the effect (the text's) would make a device reset fail.
    effect->SetTexture("Texture1", nullptr);
}

void Vo_FXObj::Update(float localTime)
{
    m_geometry.Update(localTime);
    m_geometry.FillSprites(*m_emitter);
}
