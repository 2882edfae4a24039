#pragma once
#include <vector>

#include "model/MediaParamT.h"
#include "model/MediaSector.h"
#include "model/MediaSpeedParam.h"
#include "model/UINTSclaleTo.h"
#include "particles/generators/OriginParticle.h"
#include "particles/generators/Vo_StaticGenerator.h"

// Emits puffs from the origin at a rate scaled by the item's fade, moves them with their callbacks
// and drops them when their life runs out. Puffs are kept by value, oldest first, and the list's
// storage is reused, so emitting allocates nothing once the list has reached its steady size.
class Vo_ParticleOriginGenerator : public Vo_StaticGenerator {
public:
    Vo_ParticleOriginGenerator();
    Vo_ParticleOriginGenerator(const Vo_ParticleOriginGenerator& other);

    void Update(float time, Vo_ParticlesObj* object) override;
    // Fills a new puff: the initial values, the life, a velocity of 100 pixels per second in the
    // direction (one rand() drawn) and the origin as its position.
    virtual void NewParticle(OriginParticle& particle);

    // Steps every puff by dt and drops those whose life fell below 0, then emits one puff for every
    // interval 1 / (fade x rate) that fits into the time not yet emitted. No more puffs live at
    // once than one geometry slot can draw; the intervals beyond are let go.
    void Emit(float dt);

    // Life, rate, size, direction, clock speed and origin, as the smoke's record holds them.
    void LoadFields(Vo_IOF_Virtual& stream);

    UINTSclaleTo<float>& Life() { return m_life; }
    MediaParamT<unsigned int>& Rate() { return m_rate; }
    MediaParamT<unsigned int>& Size() { return m_size; }
    const MediaParamT<unsigned int>& Size() const { return m_size; }
    MediaSector& Direction() { return m_direction; }
    MediaSpeedParam& Clock() { return m_clock; }
    const MediaSpeedParam& Clock() const { return m_clock; }
    const std::vector<OriginParticle>& Particles() const { return m_particles; }
    float Accumulator() const { return m_accumulator; }

private:
    // The fade of the generator's own time line times the rate.
    float EmissionRate() const;

    UINTSclaleTo<float> m_life;
    MediaParamT<unsigned int> m_rate;
    MediaParamT<unsigned int> m_size;
    MediaSector m_direction;
    MediaSpeedParam m_clock;
    std::vector<OriginParticle> m_particles;
    float m_accumulator = 0.0f;
};
