#pragma once
#include <d3dx9math.h>

#include "model/ParamBindingList.h"
#include "model/UINTSclaleTo.h"
#include "particles/sprites/Vo_BoundControl.h"
#include "particles/sprites/Vo_ParticleSystemCtrl.h"

// Sprites that stream along a direction, each with a lateral wander of its own, and that four
// boundary controls, one per edge of the rectangle, wrap, bounce or hold when they reach it.
class Vo_FlowConstructor : public Vo_ParticleSystemCtrl {
public:
    enum Orientation { kUpright = 0, kTurnedWithFlow = 1, kFacingHorizontalMotion = 2, kFacingVerticalMotion = 3 };

    Vo_FlowConstructor();
    // Copies values and controls; the scaled spread and wander and the flow vectors are worked
    // out afresh for the copy.
    Vo_FlowConstructor(const Vo_FlowConstructor& other);
    ~Vo_FlowConstructor() override;

    Vo_ParticleSystemCtrl* Clone() const override { return new Vo_FlowConstructor(*this); }
    // A random lateral value, moving forward along the flow, anywhere in the rectangle.
    void SpawnParticle(SpriteParticle& p) override;
    void UpdateParticle(SpriteParticle& p) override;
    // Fewer sprites are drawn while the timeline fades, so the flow thins out.
    unsigned GetParticleCount() const override;

    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    // Size, colour and the axes of the orientation mode.
    void OrientParticle(SpriteParticle& p);
    // The flow matrix and both flow vectors follow the angle.
    void OnAngleChanged(unsigned int angle);

    MediaParamT<unsigned int>& FlowAngle() { return m_angle; }
    MediaFloat<unsigned int>& Spread() { return m_spread; }
    const MediaFloat<unsigned int>& Spread() const { return m_spread; }
    MediaFloat<unsigned int>& WanderFrequency() { return m_wander; }
    const MediaFloat<unsigned int>& WanderFrequency() const { return m_wander; }
    float& Strength() { return m_strength; }
    float Strength() const { return m_strength; }
    MediaParamT<int>& OrientationMode() { return m_orientation; }
    const MediaParamT<int>& OrientationMode() const { return m_orientation; }
    Vo_BoundControl& Control(int edge) { return m_controls[edge]; }
    const Vo_BoundControl& Control(int edge) const { return m_controls[edge]; }
    const D3DXVECTOR4& FlowVector() const { return m_flow; }
    const D3DXVECTOR4& Perpendicular() const { return m_perpendicular; }
    const D3DXMATRIX& FlowMatrix() const { return m_flowMatrix; }

private:
    void SetUpControls();
    void BindAngle();

    MediaParamT<unsigned int> m_angle;
    MediaFloat<unsigned int> m_spread;
    MediaFloat<unsigned int> m_wander;
    float m_strength = 0.0f;
    MediaParamT<int> m_orientation;
    // Indexed by edge: top, bottom, left, right, the order in which they are asked.
    Vo_BoundControl m_controls[4];
    D3DXVECTOR4 m_flow;
    D3DXVECTOR4 m_perpendicular;
    D3DXMATRIX m_flowMatrix;
    // Last, so its control leaves the angle before the angle is destroyed.
    ParamBindingList m_bindings;
};
