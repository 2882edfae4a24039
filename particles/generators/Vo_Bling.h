#pragma once
#include "model/MediaSpeedParam.h"
#include "model/UINTSclaleTo.h"
#include "particles/generators/Vo_AirBrush.h"

// Sparkles along painted strokes: every point grows in, shrinks out and starts over, forever,
// each from its own random phase. A sparkle is two quads of one shape, picture 0 in colour 2 and
// picture 1 in colour 1, turned together by a rotation clock, joined in the mask target and
// composited over the layer by the blend mode.
class Vo_Bling : public Vo_AirBrush {
public:
    Vo_Bling();
    Vo_Bling(const Vo_Bling& other) = default;

    void Render(Vo_ABRender* renderer, Vo_ParticlesObj* object) override;
    void Update(float time, Vo_ParticlesObj* object) override;
    void Init(Vo_ParticlesObj* object) override;
    Vo_TexParticleGenerator* Clone() const override { return new Vo_Bling(*this); }
    // Appends the point with a life cycle started at a random phase.
    void AddPoint(const D3DXVECTOR3& point) override;

    // The record's own fields (the registry read the class name and version), then the lower levels.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    // Gives the point a fresh cycle at age 0 with value 1 at 0: rises over the fade-in, falls over
    // the fade-out, then dies. Returns the cycle's length T; with T = 0 the point gets no cycle.
    float MakeLifeCycle(ProcessParticle& point) const;
    // A cycle, then a random phase of up to T seconds.
    void StartSparkle(ProcessParticle& point) const;
    // The first count points as quads, each in both slots: slot 0 in colour 2, slot 1 in colour 1.
    void FillSparkles(void* slot0, void* slot1, unsigned count) const;

    MediaSpeedParam& Speed() { return m_speed; }
    TimeParam& FadeIn() { return m_fadeIn; }
    TimeParam& FadeOut() { return m_fadeOut; }
    MediaSpeedParam& Rotation() { return m_rotation; }
    UINTSclaleTo<float>& MinimumSize() { return m_minimumSize; }

private:
    float CycleLength() const { return m_fadeIn.Result() + m_fadeOut.Result(); }
    void WriteSparkles(Vo_ParticlesObj* object);

    MediaSpeedParam m_speed;
    TimeParam m_fadeIn;
    TimeParam m_fadeOut;
    MediaSpeedParam m_rotation;
    UINTSclaleTo<float> m_minimumSize;
};
