#include "objects3d/Vo_3D_in_2D_array_Constructor.h"

#include "model/ArchiveReads.h"
#include "model/ClassReaderRegistration.h"
#include "model/Vo_IOF_Virtual.h"
#include "objects3d/Vo_3D_in_2D_array.h"

Vo_3D_in_2D_array_Constructor::Vo_3D_in_2D_array_Constructor(const Vo_3D_in_2D_array_Constructor& other)
    : Vo_ABObj_Constructor(other),
      m_meshFile(other.m_meshFile),
      m_pictureFile(other.m_pictureFile),
      m_count(other.m_count.Value()),
      m_motion(other.m_motion)
{
}

Vo_ABObj* Vo_3D_in_2D_array_Constructor::CreateObject()
{
    return new Vo_3D_in_2D_array(new Vo_3D_in_2D_array_Constructor(*this));
}

void Vo_3D_in_2D_array_Constructor::LoadFields(Vo_IOF_Virtual& stream, int32_t version)
{
    vo_string name = Name();
    stream.ReadString(name);
    SetName(name);
    stream.ReadUInt(m_count.ValueRef());
    ReadArchiveFileBlob(stream, m_meshFile);
    ReadArchiveFileBlob(stream, m_pictureFile);
    stream.ReadUInt(m_motion.size.ValueRef());
    stream.ReadUInt(m_motion.speed.ValueRef());
    stream.ReadUInt(m_motion.sway.ValueRef());
    stream.ReadUInt(m_motion.turnRate.ValueRef());
    stream.ReadUInt(m_motion.spin.ValueRef());
    uint32_t angle = m_motion.direction.angle;
    stream.ReadUInt(angle);
    m_motion.direction.SetAngle(angle);
    Vo_ABObj_Constructor::Load(stream);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_3D_in_2D_array_Constructor);
