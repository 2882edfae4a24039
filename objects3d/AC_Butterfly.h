#pragma once
#include <d3dx9math.h>

#include <cstdint>

#include "model/ParamBindingList.h"
#include "objects3d/ValueChaser.h"
#include "runtime/Vo_AnimationBase.h"

class AC_ButterflyWing;
class Vo_ButterflyConstructor;

// The flight of one butterfly, applied to its body's frame: the wings flap between limits and
// the body bobs against them, it banks into turns and pitches up when slow, and four chasers
// glide its vertical speed, heading, bank and forward speed toward targets that random
// manoeuvres and the edges of the object's rectangle set. Its time is the owner's speed clock.
class AC_Butterfly : public Vo_AnimationBase {
public:
    // Starts at a random point of the owner's rectangle with a random heading. The two wing
    // animators it makes belong to the wing frames they are given to.
    explicit AC_Butterfly(Vo_ButterflyConstructor* owner);

    void Apply(Vo_Frame& frame) override;

    void OnSizeChanged(unsigned int size);

    AC_ButterflyWing* Wing1() const { return m_wing1; }
    AC_ButterflyWing* Wing2() const { return m_wing2; }
    const D3DXVECTOR3& Position() const { return m_position; }
    void SetPosition(const D3DXVECTOR3& position) { m_position = position; }
    float Flap() const { return m_flap; }
    void SetFlap(float flap) { m_flap = flap; }
    float FlapSpeed() const { return m_flapSpeed; }
    void SetFlapSpeed(float speed) { m_flapSpeed = speed; }
    ValueChaser& Vertical() { return m_vertical; }
    ValueChaser& Heading() { return m_heading; }
    ValueChaser& Bank() { return m_bank; }
    ValueChaser& Forward() { return m_forward; }
    int GlideState() const { return m_glide; }
    int RequestedGlideState() const { return m_requestedGlide; }

private:
    void StepChasers(float step);
    void KeepInBounds();
    void GlideAndManoeuvre(float clock);

    Vo_ButterflyConstructor* m_owner;
    AC_ButterflyWing* m_wing1;
    AC_ButterflyWing* m_wing2;
    float m_flap = 0.0f;
    float m_flapSpeed = 100.0f;
    float m_flapMax = 55.0f;
    float m_flapMin = -55.0f;
    D3DXVECTOR3 m_position;
    ValueChaser m_vertical{50.0f, 50.0f, 250.0f};
    ValueChaser m_heading;
    ValueChaser m_bank{0.0f, 0.0f, 50.0f};
    ValueChaser m_forward{50.0f, 50.0f, 350.0f};
    D3DXMATRIX m_fixedPitch;
    D3DXMATRIX m_mirror;
    D3DXMATRIX m_sizeScale;
    int m_glide = 0;
    int m_requestedGlide = 0;
    float m_lastManoeuvre = 0.0f;
    // Last, so the size control leaves the owner's parameter first.
    ParamBindingList m_bindings;
};
