#include "particles/generators/Vo_AirBrush.h"

#include "model/ArchiveReads.h"
#include "model/Vo_IOF_Virtual.h"

Vo_AirBrush::Vo_AirBrush(const Vo_AirBrush& other) : Vo_TexParticleGenerator(other)
{
    m_brushSize.ValueRef() = other.m_brushSize.Value();
    m_points.reserve(other.m_points.size());
    for (const ProcessParticle& point : other.m_points) {
        m_points.emplace_back();
        ParticleProcessList_Copy(m_points.back(), point);
    }
}

void Vo_AirBrush::Render(Vo_ABRender* renderer, Vo_ParticlesObj* object)
{
    DrawBlendMasked(renderer, object, GetFrameTexture(0));
}

void Vo_AirBrush::AddPoint(const D3DXVECTOR3& point)
{
    m_points.emplace_back(point, 0.0f, 1.0f, 1.0f);
}

void Vo_AirBrush::Load(Vo_IOF_Virtual& stream)
{
    ReadRecordHeader(stream);
    stream.ReadUInt(m_brushSize.ValueRef());
    int32_t count = 0;
    stream.ReadInt(count);
    // Point by point, so a damaged count ends with the stream instead of allocating for it.
    for (int32_t i = 0; i < count && !stream.Failed(); ++i) {
        D3DXVECTOR3 point(0.0f, 0.0f, 0.0f);
        stream.ReadFloat(point.x);
        stream.ReadFloat(point.y);
        stream.ReadFloat(point.z);
        if (!stream.Failed())
            m_points.emplace_back(point, 0.0f, 1.0f, 1.0f);
    }
    Vo_TexParticleGenerator::Load(stream);
}
