#include "particles/sprites/ParticleGeomArray.h"

#include <algorithm>

#include "particles/sprites/Vo_BaseSpriteProp.h"

void ParticleGeomArray::BindCount(MediaParamT<unsigned int>& count)
{
    m_bindings.SetOwner(this);
    m_bindings.BindValue(count, &ParticleGeomArray::OnCountChanged);
}

void ParticleGeomArray::OnCountChanged(unsigned int n)
{
    n = std::min(n, kMaxSpriteParticles);
    if (n == 0)
        return;
    m_filled = false;
    m_quadCapacity = SUCCEEDED(MakeSpriteQuadBuffers(*this, int(n))) ? n : 0;
    if (!m_owner || m_particles.size() >= n)
        return;
    m_particles.reserve(n);
    while (m_particles.size() < n) {
        m_particles.emplace_back();
        SpriteParticle& p = m_particles.back();
        InitSpriteParticle(p, *m_owner);
        ResetSpriteParticle(p, *m_owner);
        m_owner->SpawnParticle(p);
    }
}

void ParticleGeomArray::Update(float t)
{
    if (!m_owner)
        return;
    m_owner->UpdateSpeed(t);
    m_owner->FrameSpeed().Advance(t);
    for (SpriteParticle& p : m_particles)
        m_owner->UpdateParticle(p);
}

void ParticleGeomArray::FillSprites(Vo_BaseSpriteProp& emitter)
{
    // Every quad the buffers hold is filled; the emitter may draw fewer (a fading flow).
    const unsigned int count = std::min(emitter.Count().Value(), kMaxSpriteParticles);
    if (count == 0 || m_quadCapacity != count || !VertexBuffer() || m_particles.size() < count)
        return;
    void* data = nullptr;
    if (FAILED(VertexBuffer()->Lock(0, 0, &data, 0)) || !data)
        return;
    FillSpriteVertices(emitter, static_cast<DX_V::PCT*>(data), count);
    VertexBuffer()->Unlock();
    m_filled = true;
}

void ParticleGeomArray::FillSpriteVertices(Vo_BaseSpriteProp& emitter, DX_V::PCT* vertices,
                                           unsigned int quadCount)
{
    quadCount = std::min<size_t>(quadCount, m_particles.size());
    const bool flipV = emitter.VerticalMirror().Value() != 0;
    const bool flipU = emitter.HorizontalMirror().Value() != 0;
    const bool animated = emitter.Animated();
    const float frameWidth = 1.0f / float(emitter.FrameCount());
    const float framePeriod = 1.0f / emitter.FrameRate();
    const float time = emitter.AccumulatedTime();
    DX_V::PCT* v = vertices;
    for (unsigned int i = 0; i < quadCount; ++i, v += 4) {
        const SpriteParticle& p = m_particles[i];
        const D3DXVECTOR3 q = GetSpriteParticleCorner(p);
        const D3DXVECTOR3 w = 2.0f * p.halfWidth * p.right;
        const D3DXVECTOR3 h = 2.0f * p.halfHeight * p.up;
        const uint32_t colour = emitter.ApplyFade(p.color);

        float v1 = p.vStart, v2 = p.vEnd;
        if (flipV)
            std::swap(v1, v2);
        float u1 = p.uStart, u2 = p.uEnd;
        if (flipU)
            std::swap(u1, u2);
        if (animated) {
            // Checked for every particle in turn; after one advance the others see no new period.
            if (framePeriod < time - m_stripSwitchTime) {
                m_stripFrame = emitter.NextFrame(m_stripFrame);
                m_stripSwitchTime = time;
            } else if (m_stripSwitchTime > time) {
                m_stripSwitchTime = 0.0f;  // the emitter's clock was restarted
            }
            u1 = float(m_stripFrame) * frameWidth;
            u2 = float(m_stripFrame + 1) * frameWidth;
            if (flipU)
                std::swap(u1, u2);
        }

        v[0] = {q.x + h.x, q.y + h.y, q.z + h.z, colour, u1, v2};
        v[1] = {q.x, q.y, q.z, colour, u1, v1};
        v[2] = {q.x + w.x + h.x, q.y + w.y + h.y, q.z + w.z + h.z, colour, u2, v2};
        v[3] = {q.x + w.x, q.y + w.y, q.z + w.z, colour, u2, v1};
    }
}
