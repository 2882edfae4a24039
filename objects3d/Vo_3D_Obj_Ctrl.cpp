#include "objects3d/Vo_3D_Obj_Ctrl.h"

#include "model/ArchiveReads.h"
#include "model/Vo_IOF_Virtual.h"
#include "objects3d/Vo_3DObjArray.h"

const wchar_t kObjectResourceModule[] = L"common_res.dll";

namespace {

const unsigned int kDefaultCount = 1;
const unsigned int kDefaultSize = 50;
// Raw 50 is a speed factor of 1.
const unsigned int kDefaultSpeed = 50;

}  // namespace

Vo_3D_Obj_Ctrl::Vo_3D_Obj_Ctrl() : m_count(kDefaultCount), m_size(kDefaultSize)
{
    Speed().ValueRef() = kDefaultSpeed;
}

Vo_3D_Obj_Ctrl::Vo_3D_Obj_Ctrl(const Vo_3D_Obj_Ctrl& other)
    : Vo_ViewObjCtrl(other),
      m_count(other.m_count.Value()),
      m_size(other.m_size.Value()),
      m_picture(other.m_picture),
      m_mesh(other.m_mesh)
{
}

Vo_3D_Obj_Ctrl::~Vo_3D_Obj_Ctrl() = default;

Vo_ABObj* Vo_3D_Obj_Ctrl::CreateObject()
{
    return new Vo_3DObjArray(Clone());
}

void Vo_3D_Obj_Ctrl::LoadRecord(Vo_IOF_Virtual& stream)
{
    ReadRecordHeader(stream);  // every version is read the same way
    stream.ReadUInt(m_count.ValueRef());
    stream.ReadUInt(m_size.ValueRef());
    ReadFileLink(stream, m_picture);
    ReadFileLink(stream, m_mesh);
    Vo_ViewObjCtrl::Load(stream);
}
