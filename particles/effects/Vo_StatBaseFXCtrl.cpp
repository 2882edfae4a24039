#include "particles/effects/Vo_StatBaseFXCtrl.h"

#include "model/ArchiveReads.h"
#include "model/Vo_IOF_Virtual.h"
#include "particles/effects/Vo_FXObj.h"
#include "runtime/PicturePlacement.h"

Vo_StatBaseFXCtrl::Vo_StatBaseFXCtrl() : m_height(kDefaultHeight), m_width(kDefaultWidth)
{
    const PicturePlacement& placement = GetPicturePlacement();
    m_position.ValueRef() =
        D3DXVECTOR3(float(placement.pictureWidth) / 2.0f, float(placement.pictureHeight) / 2.0f, 0.0f);
}

Vo_StatBaseFXCtrl::Vo_StatBaseFXCtrl(const Vo_StatBaseFXCtrl& other)
    : Vo_BaseFXCtrl(other),
      m_position(other.m_position.Value()),
      m_height(other.m_height.Value()),
      m_width(other.m_width.Value())
{
}

Vo_ABObj* Vo_StatBaseFXCtrl::CreateObject()
{
    ResolveImages();
    return new Vo_FXObj(static_cast<Vo_StatBaseFXCtrl*>(Clone()));
}

void Vo_StatBaseFXCtrl::Load(Vo_IOF_Virtual& stream)
{
    const int32_t version = ReadRecordHeader(stream);
    D3DXVECTOR3& position = m_position.ValueRef();
    stream.ReadFloat(position.x);
    stream.ReadFloat(position.y);
    stream.ReadFloat(position.z);
    if (version >= 2) {
        stream.ReadUInt(m_height.ValueRef());
        stream.ReadUInt(m_width.ValueRef());
    }
    Vo_BaseFXCtrl::Load(stream);
}
