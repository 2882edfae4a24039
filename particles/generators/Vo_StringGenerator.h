#pragma once
#include <d3dx9math.h>

#include "model/MediaParamT.h"
#include "particles/generators/Vo_TexParticleGenerator.h"

// A generator drawn between two points of the picture (picture pixels, x to the right, y
// downwards): the lightning's base level.
class Vo_StringGenerator : public Vo_TexParticleGenerator {
public:
    Vo_StringGenerator() = default;
    Vo_StringGenerator(const Vo_StringGenerator& other);

    // The whole record of this level (name, version, start and end), then the lower levels.
    void Load(Vo_IOF_Virtual& stream);

    MediaParamT<D3DXVECTOR3>& Start() { return m_start; }
    const MediaParamT<D3DXVECTOR3>& Start() const { return m_start; }
    MediaParamT<D3DXVECTOR3>& End() { return m_end; }
    const MediaParamT<D3DXVECTOR3>& End() const { return m_end; }

private:
    MediaParamT<D3DXVECTOR3> m_start;
    MediaParamT<D3DXVECTOR3> m_end;
};
