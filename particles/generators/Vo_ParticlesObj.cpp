#include "particles/generators/Vo_ParticlesObj.h"

#include <algorithm>

#include "particles/generators/Vo_TexParticleGenerator.h"

Vo_ParticlesObj::Vo_ParticlesObj(Vo_TexParticleGenerator* clone) : Vo_ABObj(clone), m_generator(clone)
{
    m_generator->Init(this);
}

Vo_ParticlesObj::~Vo_ParticlesObj()
{
    for (size_t i = 0; i < m_meshes.size(); ++i)
        UnlockQuads(i);
}

void Vo_ParticlesObj::Render(Vo_ABRender* renderer)
{
    m_generator->Render(renderer, this);
}

void Vo_ParticlesObj::Notify(int value, int)
{
    m_generator->Notify(value);
}

bool Vo_ParticlesObj::NeedsBackground() const
{
    return IsEnabled() && m_generator->NeedsBackground();
}

bool Vo_ParticlesObj::HitTest(float x, float y) const
{
    return m_generator->HitTest(x, y);
}

void Vo_ParticlesObj::Update(float localTime)
{
    m_generator->Update(localTime, this);
}

void Vo_ParticlesObj::SetSlotCount(size_t n)
{
    if (n > m_meshes.size()) {
        m_meshes.resize(n);
        m_quadCounts.resize(n, 0);
    }
}

unsigned Vo_ParticlesObj::QuadCapacity(size_t i) const
{
    if (i >= m_meshes.size() || !m_meshes[i].VertexBuffer() || !m_meshes[i].IndexBuffer())
        return 0;
    return m_meshes[i].IndexedPrimitiveCount() / 2;
}

void Vo_ParticlesObj::ReserveQuads(size_t i, unsigned n)
{
    if (i >= m_meshes.size())
        return;
    n = std::min(n, static_cast<unsigned>(kMaxQuadsPerIndexBuffer));
    if (QuadCapacity(i) < n) {
        UnlockQuads(i);
        Vo_IndexedMesh<DX_V::PCT>& mesh = m_meshes[i];
        mesh.VertexBufferRef().Reset();
        if (FAILED(FillQuadIndexBuffer(mesh, static_cast<int>(n)))) {
            mesh.VertexBufferRef().Reset();
            mesh.IndexBufferRef().Reset();
        }
    }
    m_quadCounts[i] = std::min(n, QuadCapacity(i));
}

void* Vo_ParticlesObj::LockQuads(size_t i)
{
    if (i >= m_meshes.size())
        return nullptr;
    Vo_IndexedMesh<DX_V::PCT>& mesh = m_meshes[i];
    if (!mesh.VertexBuffer())
        return nullptr;
    void* vertices = nullptr;
    if (FAILED(mesh.VertexBuffer()->Lock(0, 0, &vertices, 0)))
        return nullptr;
    mesh.SetLockedVertices(vertices);
    return vertices;
}

void Vo_ParticlesObj::UnlockQuads(size_t i)
{
    if (i >= m_meshes.size() || !m_meshes[i].LockedVertices())
        return;
    m_meshes[i].SetLockedVertices(nullptr);
    m_meshes[i].VertexBuffer()->Unlock();
}
