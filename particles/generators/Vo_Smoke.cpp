#include "particles/generators/Vo_Smoke.h"

#include <d3dx9.h>

#include <algorithm>
#include <cstdlib>

#include "model/ClassReaderRegistration.h"
#include "model/CurrentDevice.h"
#include "model/ReadScaled.h"
#include "model/Vo_IOF_Virtual.h"
#include "particles/generators/QuadVertices.h"
#include "particles/generators/Vo_ParticlesObj.h"
#include "runtime/Vo_ABRender.h"
#include "runtime/Vo_TimeLineControl.h"

Vo_Smoke::Vo_Smoke()
{
    m_wind.Rescale(2.0f, -100.0f);
}

void Vo_Smoke::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    ReadScaled(stream, m_wind);
    Vo_ParticleOriginGenerator::LoadFields(stream);
    // The origin level's record is not stored: the texture level follows with its own header.
    Vo_TexParticleGenerator::Load(stream);
}

void Vo_Smoke::NewParticle(OriginParticle& p)
{
    Vo_ParticleOriginGenerator::NewParticle(p);
    p.acceleration.x = m_wind.Result();
    const float life = p.life;
    const float fade = Timeline().GetFadeFactor();
    p.AddCallback(MoveOriginParticle);
    // A life of 0 grows nothing: the puff is dropped at its first step anyway.
    p.AddCallback(GrowOriginParticle, life > 0.0f ? 1 / life : 0.0f);
    p.size = 0.5f;
    p.AddCallback(RaiseAlphaWhileYoung, fade * 5, life * 0.8f);
    p.alpha = 0.0f;
    p.AddCallback(LowerAlphaWhileOld, 1.0f, life);
    p.AddCallback(SpinOriginParticle, static_cast<float>(std::rand()) / 32767.0f * 100.0f - 50.0f);

    const D3DXVECTOR3 unitX(1.0f, 0.0f, 0.0f), unitY(0.0f, 1.0f, 0.0f);
    const float angle = static_cast<float>(std::rand()) / 32767.0f * 360.0f * 3.1415927f / 180.0f;
    D3DXMATRIX rotation;
    D3DXMatrixRotationZ(&rotation, angle);
    D3DXVec3TransformCoord(&p.axis1, &unitX, &rotation);
    D3DXVec3TransformCoord(&p.axis2, &unitY, &rotation);
}

void Vo_Smoke::Init(Vo_ParticlesObj* object)
{
    Vo_StaticGenerator::Init(object);
    if (object)
        object->SetSlotCount(1);
    for (int i = 0; i < 100; ++i)
        Emit(0.05f);
}

void Vo_Smoke::Update(float time, Vo_ParticlesObj* object)
{
    Clock().Advance(time);
    Emit(Clock().Step());
    WritePuffs(object);
}

void Vo_Smoke::WritePuffs(Vo_ParticlesObj* object)
{
    if (!object)
        return;
    // With no puff alive nothing is drawn, rather than the last frame's quads again.
    const unsigned n = static_cast<unsigned>(Particles().size());
    object->ReserveQuads(0, n);
    const unsigned count = std::min(n, object->QuadCount(0));
    if (count == 0)
        return;
    void* vertices = object->LockQuads(0);
    if (!vertices)
        return;
    FillPuffs(vertices, count);
    object->UnlockQuads(0);
}

void Vo_Smoke::FillPuffs(void* vertices, unsigned count) const
{
    const float size = static_cast<float>(Size().Value());
    const unsigned long colour = Color1().Color().Value();
    const float alpha = Color1().Alpha().Result();
    QuadVertices quad;
    for (unsigned i = 0; i < count; ++i) {
        const OriginParticle& p = Particles()[i];
        BuildOrientedQuad(quad, p.position, p.axis1, p.axis2, size * p.size);
        SetQuadColor(quad, VertexColorFromUnits(colour, alpha * p.alpha / 255.0f));
        WriteQuadVertices(vertices, i, quad);
    }
}

void Vo_Smoke::Render(Vo_ABRender* renderer, Vo_ParticlesObj* object)
{
    IDirect3DTexture9* texture = GetFrameTexture(0);
    Vo_IndexedMesh<DX_V::PCT>* mesh = object ? object->Mesh(0) : nullptr;
    const int primitives = object ? 2 * static_cast<int>(object->QuadCount(0)) : 0;
    if (!texture || !mesh || !mesh->VertexBuffer() || primitives <= 0 || !CurrentDevice)
        return;
    CurrentDevice->SetTexture(0, texture);
    ID3DXEffect* effect = Effect();
    renderer->DrawColoredIndexed(mesh, effect ? &effect : nullptr, primitives, 1.0f);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_Smoke);
