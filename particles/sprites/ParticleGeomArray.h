#pragma once
#include <vector>

#include "model/MediaParamT.h"
#include "model/ParamBindingList.h"
#include "particles/sprites/SpriteParticle.h"
#include "runtime/VertexTypes.h"
#include "runtime/Vo_IndexedMesh.h"

class Vo_BaseSpriteProp;

// An emitter's particles and the quad mesh they become each frame. The particles are made when
// the emitter's count grows and are never dropped while the array lives: after a smaller count
// the surplus keeps moving but is not drawn. Buffers are made only when the count changes, so a
// steady frame allocates nothing.
class ParticleGeomArray : public Vo_SpriteArrayT<DX_V::PCT> {
public:
    ParticleGeomArray() = default;
    ParticleGeomArray(const ParticleGeomArray&) = delete;
    ParticleGeomArray& operator=(const ParticleGeomArray&) = delete;

    // The emitter whose operations move and colour the particles; not owned.
    void SetOwner(Vo_BaseSpriteProp* owner) { m_owner = owner; }
    Vo_BaseSpriteProp* Owner() const { return m_owner; }

    // Follows the count parameter from now on, starting with its current value.
    void BindCount(MediaParamT<unsigned int>& count);
    // Buffers for n quads and, while fewer exist, new particles: initialised, reset and spawned
    // by the owner. Nothing for n = 0.
    void OnCountChanged(unsigned int n);
    // Advances the owner's clocks to local time t, then every particle in order.
    void Update(float t);
    // Writes the first (count) particles into the vertex buffer; nothing when the buffers were
    // made for another count or cannot be locked.
    void FillSprites(Vo_BaseSpriteProp& emitter);
    // The quads of the first quadCount particles into a plain array of 4 x quadCount vertices,
    // in the order: end of the up axis from the corner, corner, far corner, end of the right axis.
    void FillSpriteVertices(Vo_BaseSpriteProp& emitter, DX_V::PCT* vertices, unsigned int quadCount);

    std::vector<SpriteParticle>& Particles() { return m_particles; }
    const std::vector<SpriteParticle>& Particles() const { return m_particles; }
    // Quads the buffers hold, 0 without buffers.
    unsigned int QuadCapacity() const { return m_quadCapacity; }
    // Whether the buffers made last have been written since.
    bool IsFilled() const { return m_filled; }
    float StripSwitchTime() const { return m_stripSwitchTime; }
    unsigned int StripFrame() const { return m_stripFrame; }

private:
    Vo_BaseSpriteProp* m_owner = nullptr;
    std::vector<SpriteParticle> m_particles;
    float m_stripSwitchTime = 0.0f;
    unsigned int m_stripFrame = 0;
    unsigned int m_quadCapacity = 0;
    bool m_filled = false;
    // Last, so its observer leaves the count parameter before anything else goes.
    ParamBindingList m_bindings;
};
