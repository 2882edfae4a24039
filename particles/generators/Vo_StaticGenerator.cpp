#include "particles/generators/Vo_StaticGenerator.h"

#include "model/ArchiveReads.h"
#include "model/Vo_IOF_Virtual.h"

Vo_StaticGenerator::Vo_StaticGenerator(const Vo_StaticGenerator& other) : Vo_TexParticleGenerator(other)
{
    m_origin.ValueRef() = other.m_origin.Value();
}

void Vo_StaticGenerator::Init(Vo_ParticlesObj* object)
{
    Vo_TexParticleGenerator::Init(object);
}

void Vo_StaticGenerator::ReadOrigin(Vo_IOF_Virtual& stream)
{
    D3DXVECTOR3& origin = m_origin.ValueRef();
    stream.ReadFloat(origin.x);
    stream.ReadFloat(origin.y);
    stream.ReadFloat(origin.z);
}

void Vo_StaticGenerator::Load(Vo_IOF_Virtual& stream)
{
    ReadRecordHeader(stream);
    ReadOrigin(stream);
    Vo_TexParticleGenerator::Load(stream);
}
