#pragma once
#include <d3dx9math.h>

#include <cstdint>

#include "runtime/Vo_AnimationBase.h"

// One wing of a butterfly: the butterfly's animator writes its turn and winding every frame,
// and the wing frame applies them.
class AC_ButterflyWing : public Vo_AnimationBase {
public:
    AC_ButterflyWing();

    // World := local x the wing's turn; the frame takes the wing's winding, by which the layer
    // culls its triangles.
    void Apply(Vo_Frame& frame) override;

    D3DXMATRIX& Matrix() { return m_matrix; }
    const D3DXMATRIX& Matrix() const { return m_matrix; }
    uint8_t Winding() const { return m_winding; }
    void SetWinding(uint8_t winding) { m_winding = winding; }

private:
    D3DXMATRIX m_matrix;
    uint8_t m_winding = 0;
};
