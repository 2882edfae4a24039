#pragma once
#include <d3dx9math.h>

#include "brushes/Vo_FX_Constructor.h"
#include "model/ParamBindingList.h"

// Base of the brushes that act along one direction of the picture: a strength and an angle in
// whole degrees, kept as the unit direction (cos a, -sin a).
class Vo_DirectionBased : public Vo_FX_Constructor {
public:
    Vo_DirectionBased();
    // Recomputes the direction from the copied angle: reading a record stores the angle without
    // recomputing, so only the copy (the runtime clone) is sure to match it.
    Vo_DirectionBased(const Vo_DirectionBased& other);
    ~Vo_DirectionBased() override;

    // The record of this level, then the base record.
    void Load(Vo_IOF_Virtual& stream);
    void UpdateDirection();

    UINTSclaleTo<float>& Strength() { return m_strength; }
    const UINTSclaleTo<float>& Strength() const { return m_strength; }
    MediaParamT<unsigned int>& Angle() { return m_angle; }
    const D3DXVECTOR4& Direction() const { return m_direction; }

private:
    void BindAngle();

    UINTSclaleTo<float> m_strength;
    MediaParamT<unsigned int> m_angle;
    D3DXVECTOR4 m_direction = D3DXVECTOR4(1, 0, 0, 0);
    ParamBindingList m_bindings;
};
