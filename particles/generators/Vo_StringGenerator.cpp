#include "particles/generators/Vo_StringGenerator.h"

#include "model/ArchiveReads.h"
#include "model/Vo_IOF_Virtual.h"

namespace {

void ReadPoint(Vo_IOF_Virtual& stream, D3DXVECTOR3& point)
{
    stream.ReadFloat(point.x);
    stream.ReadFloat(point.y);
    stream.ReadFloat(point.z);
}

}  // namespace

Vo_StringGenerator::Vo_StringGenerator(const Vo_StringGenerator& other) : Vo_TexParticleGenerator(other)
{
    m_start.ValueRef() = other.m_start.Value();
    m_end.ValueRef() = other.m_end.Value();
}

void Vo_StringGenerator::Load(Vo_IOF_Virtual& stream)
{
    ReadRecordHeader(stream);
    ReadPoint(stream, m_start.ValueRef());
    ReadPoint(stream, m_end.ValueRef());
    Vo_TexParticleGenerator::Load(stream);
}
