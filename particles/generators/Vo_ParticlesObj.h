#pragma once
#include <vector>

#include "runtime/Vo_ABObj.h"
#include "runtime/Vo_IndexedMesh.h"

class Vo_TexParticleGenerator;

// The runtime object of a particle generator: owns the generator clone it was made from and one
// quad mesh per geometry slot, and forwards the layer's calls to the generator. Slots grow when
// they must hold more quads and never shrink.
class Vo_ParticlesObj : public Vo_ABObj {
public:
    // Takes ownership of the clone and lets it initialise itself with this object.
    explicit Vo_ParticlesObj(Vo_TexParticleGenerator* clone);
    ~Vo_ParticlesObj() override;

    void Render(Vo_ABRender* renderer) override;
    void Notify(int value, int) override;
    void Relayout() override {}
    bool NeedsBackground() const override;
    bool HitTest(float x, float y) const override;
    void Update(float localTime) override;

    // Makes n empty slots (existing ones are kept when n is not smaller).
    void SetSlotCount(size_t n);
    size_t SlotCount() const { return m_meshes.size(); }
    // Grows slot i's buffers to n quads when they hold fewer, then draws n quads from it. No slot
    // holds more quads than 16-bit indices address; a count above that is cut, and a slot whose
    // buffers could not be made draws nothing.
    void ReserveQuads(size_t i, unsigned n);
    // The whole vertex buffer of slot i, locked; null for a missing slot, one without buffers, or
    // a failed lock.
    void* LockQuads(size_t i);
    void UnlockQuads(size_t i);

    Vo_IndexedMesh<DX_V::PCT>* Mesh(size_t i) { return i < m_meshes.size() ? &m_meshes[i] : nullptr; }
    unsigned QuadCount(size_t i) const { return i < m_quadCounts.size() ? m_quadCounts[i] : 0; }
    // The quads slot i's buffers hold.
    unsigned QuadCapacity(size_t i) const;
    Vo_TexParticleGenerator* Generator() const { return m_generator; }

private:
    std::vector<Vo_IndexedMesh<DX_V::PCT>> m_meshes;
    std::vector<unsigned> m_quadCounts;
    Vo_TexParticleGenerator* m_generator;
};
