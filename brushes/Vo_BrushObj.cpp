#include "brushes/Vo_BrushObj.h"

#include "brushes/Vo_FX_Constructor.h"
#include "model/Vo_DocResManager.h"

Vo_BrushObj::Vo_BrushObj(Vo_FX_Constructor* clone) : Vo_ABObj(clone), m_brush(clone)
{
    // The store's entry for the GUID is made empty when the document has no mask for it.
    MaskSlot* slot = CurrentDocResManager ? &CurrentDocResManager->GuidTexture(clone->Guid()) : nullptr;
    m_brush->LoadResources(slot);
}

void Vo_BrushObj::Render(Vo_ABRender* layer)
{
    m_brush->Render(layer);
}

void Vo_BrushObj::Notify(int value, int)
{
    m_brush->Notify(value);
}

bool Vo_BrushObj::NeedsBackground() const
{
    return m_brush->ReadsLayerImage() && IsEnabled() && m_brush->CanDraw();
}

void Vo_BrushObj::Update(float localTime)
{
    m_brush->Update(localTime);
}
