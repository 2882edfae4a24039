#pragma once
#include <d3dx9math.h>

#include <cstdint>

#include "model/ParamBindingList.h"
#include "runtime/Vo_AnimationBase.h"

class Vo_ClockConstructor;

// Places one copy of the clock: scaled by the clock's size and moved to its centre. It keeps
// the clock's square around the centre as the size changes.
class AC_Static : public Vo_AnimationBase {
public:
    explicit AC_Static(Vo_ClockConstructor* owner);

    // World := scaling x local x translation.
    void Apply(Vo_Frame& frame) override;

    // The square's edges := centre -/+ size / 2 (not notified); scaling := the size.
    void OnSizeChanged(unsigned int size);
    // The same edges, and the translation follows the centre.
    void OnRectangleChanged();

    const D3DXMATRIX& Scaling() const { return m_scaling; }
    const D3DXMATRIX& Translation() const { return m_translation; }

private:
    void PlaceEdges(int64_t half);

    Vo_ClockConstructor* m_owner;
    D3DXMATRIX m_scaling;
    D3DXMATRIX m_translation;
    // Last, so its controls leave the owner's parameters first.
    ParamBindingList m_bindings;
};
