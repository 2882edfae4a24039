#include "particles/generators/Vo_SingleRectGN.h"

#include "model/ArchiveReads.h"
#include "model/Vo_IOF_Virtual.h"
#include "particles/generators/QuadVertices.h"
#include "particles/generators/Vo_ParticlesObj.h"

void Vo_SingleRectGN::Init(Vo_ParticlesObj* object)
{
    Vo_StaticGenerator::Init(object);
    if (!object)
        return;
    object->SetSlotCount(1);
    object->ReserveQuads(0, 1);
    UploadQuad(object);
}

void Vo_SingleRectGN::UploadQuad(Vo_ParticlesObj* object)
{
    if (object->QuadCount(0) < 1)
        return;
    void* vertices = object->LockQuads(0);
    if (!vertices)
        return;
    QuadVertices quad;
    QuadFromCorners(quad, m_quad);
    FlipQuadTexCoords(quad, HorizontalMirror().Value() != 0, VerticalMirror().Value() != 0);
    SetQuadColor(quad, VertexColorFromUnits(Color1().Color().Value(), Color1().Alpha().Result() / 255.0f));
    WriteQuadVertices(vertices, 0, quad);
    object->UnlockQuads(0);
}

void Vo_SingleRectGN::Load(Vo_IOF_Virtual& stream)
{
    const int32_t version = ReadRecordHeader(stream);
    m_quad.Load(stream);
    if (version < 2) {
        float dropped = 0.0f;
        stream.ReadFloat(dropped);
        stream.ReadFloat(dropped);
    }
    Vo_StaticGenerator::Load(stream);
}
