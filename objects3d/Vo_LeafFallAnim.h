#pragma once
#include "objects3d/Vo_SreamAnim.h"

// A falling leaf: a drifting copy that tumbles about three axes at the spin rate and swings on
// two orbits at the sway rate, scaled so that its bounding sphere is the stream's size across.
class Vo_LeafFallAnim : public Vo_SreamAnim {
public:
    struct Turn {
        float rate;   // degrees per unit of step
        float angle;  // degrees
    };

    explicit Vo_LeafFallAnim(const StreamParams* params);

    // The drift, then world := local x the scaled, tumbled and orbiting copy at its position. A
    // frame without a bounding sphere is scaled to nothing.
    void Apply(Vo_Frame& frame) override;

    const Turn& Tumble(int i) const { return m_tumble[i]; }
    const Turn& Orbit(int i) const { return m_orbit[i]; }

private:
    Turn m_tumble[3];
    Turn m_orbit[2];
};
