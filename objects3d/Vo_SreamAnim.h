#pragma once
#include <d3dx9math.h>

#include "runtime/Vo_AnimationBase.h"

struct StreamParams;

// The drift of one copy of a mesh array: along the common direction with a sideways sway, at a
// speed of its own, wrapping around the picture's edges. It moves its position and leaves the
// frame to the derived animator.
class Vo_SreamAnim : public Vo_AnimationBase {
public:
    // Starts at a random point of the picture with a random sway side and speed.
    explicit Vo_SreamAnim(const StreamParams* params);

    void Apply(Vo_Frame& frame) override;

    const D3DXMATRIX& Position() const { return m_position; }
    void SetPosition(float x, float y);
    float LateralFactor() const { return m_lateral; }
    float SpeedFactor() const { return m_speedFactor; }
    // The clock step of the last Apply, at most 0.2 s.
    float Step() const { return m_dt; }

protected:
    const StreamParams& Params() const { return *m_params; }

private:
    D3DXMATRIX m_position;
    float m_lateral;
    float m_lastSwayPick = 0.0f;
    float m_speedFactor;
    float m_lastClock = 0.0f;
    float m_dt = 0.0f;
    const StreamParams* m_params;
};
