#include "brushes/Vo_CentralBased.h"

#include <d3dx9.h>

#include "model/ArchiveReads.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/PicturePlacement.h"

Vo_CentralBased::Vo_CentralBased()
{
    const PicturePlacement& placement = GetPicturePlacement();
    m_center.ValueRef() = D3DXVECTOR3(static_cast<float>(placement.pictureWidth) / 2.0f,
                                      static_cast<float>(placement.pictureHeight) / 2.0f, 0.0f);
}

Vo_CentralBased::Vo_CentralBased(const Vo_CentralBased& other) : Vo_FX_Constructor(other), m_center(other.m_center)
{
}

Vo_CentralBased::~Vo_CentralBased() = default;

void Vo_CentralBased::Load(Vo_IOF_Virtual& stream)
{
    ReadRecordHeader(stream);
    D3DXVECTOR3& center = m_center.ValueRef();
    stream.ReadFloat(center.x);
    stream.ReadFloat(center.y);
    stream.ReadFloat(center.z);
    Vo_FX_Constructor::Load(stream);
}

D3DXVECTOR2 Vo_CentralBased::CenterInPicture() const
{
    const PicturePlacement& placement = GetPicturePlacement();
    const D3DXVECTOR3& center = m_center.Value();
    return D3DXVECTOR2(placement.pictureWidth > 0 ? center.x / static_cast<float>(placement.pictureWidth) : 0.0f,
                       placement.pictureHeight > 0 ? center.y / static_cast<float>(placement.pictureHeight) : 0.0f);
}

void Vo_CentralBased::SetCenterParams(Vo_ABRender* layer)
{
    ID3DXEffect* effect = Effect();
    if (!effect)
        return;
    SetScaleMaskBackground(layer);
    const D3DXVECTOR2 center = CenterInPicture();
    effect->SetFloatArray("Center", center, 2);
}
