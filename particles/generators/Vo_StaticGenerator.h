#pragma once
#include "model/MediaParamT.h"
#include "particles/generators/Vo_TexParticleGenerator.h"

// A generator with an origin point in picture pixels (x to the right, y downwards).
class Vo_StaticGenerator : public Vo_TexParticleGenerator {
public:
    Vo_StaticGenerator() = default;
    Vo_StaticGenerator(const Vo_StaticGenerator& other);

    void Init(Vo_ParticlesObj* object) override;

    // The whole record of this level (name, version, origin), then the lower levels.
    void Load(Vo_IOF_Virtual& stream);

    MediaParamT<D3DXVECTOR3>& Origin() { return m_origin; }
    const MediaParamT<D3DXVECTOR3>& Origin() const { return m_origin; }

protected:
    // The origin as three floats, stored without notification.
    void ReadOrigin(Vo_IOF_Virtual& stream);

private:
    MediaParamT<D3DXVECTOR3> m_origin;
};
