#pragma once
#include <d3dx9math.h>

#include "model/MediaParamT.h"
#include "model/MediaSpeedParam.h"
#include "model/UINTSclaleTo.h"
#include "particles/generators/Vo_StaticGenerator.h"

// A fan of rays around the origin, like a stylised sun: rectangles evenly spaced around a full
// turn, optionally with lengths and angles varied from a fixed seed, the fan turning forward,
// backward or swinging with a clock. Rebuilt on every draw and drawn through the mask with one
// chosen picture. The fade shrinks the rays (time mode 0) or makes them transparent (time mode 1).
class Vo_RadialRays : public Vo_StaticGenerator {
public:
    enum RotationMode { kForward = 0, kBackward = 1, kSwing = 2 };

    Vo_RadialRays();
    Vo_RadialRays(const Vo_RadialRays& other);

    void Render(Vo_ABRender* renderer, Vo_ParticlesObj* object) override;
    void Update(float time, Vo_ParticlesObj* object) override;
    void Init(Vo_ParticlesObj* object) override;
    Vo_TexParticleGenerator* Clone() const override { return new Vo_RadialRays(*this); }

    // The record's own fields (the registry read the class name and version), then the lower levels.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    // Writes the fan into slot 0. Draws one number of the process's rand() sequence on every call;
    // with random set it reseeds with the seed for the rays and, at the end, with that number, so
    // every call gives the same fan.
    void BuildRays(Vo_ParticlesObj* object);
    // The n rays as quads 0 to n - 1 of the vertices, drawing from rand() as it stands when random
    // is set (the reseeding is BuildRays').
    void FillRays(void* vertices, unsigned n);

    MediaParamT<unsigned int>& Length() { return m_length; }
    MediaParamT<unsigned int>& Width() { return m_width; }
    MediaParamT<unsigned int>& Count() { return m_count; }
    MediaParamT<int>& Picture() { return m_picture; }
    MediaParamT<int>& Random() { return m_random; }
    MediaParamT<unsigned int>& Seed() { return m_seed; }
    UINTSclaleTo<float>& MinimumLength() { return m_minimumLength; }
    MediaSpeedParam& Speed() { return m_speed; }
    MediaParamT<int>& Mode() { return m_rotationMode; }
    UINTSclaleTo<float>& MinimumFade() { return m_minimumFade; }
    UINTSclaleTo<float>& Amplitude() { return m_amplitude; }
    const D3DXMATRIX& Rotation() const { return m_rotation; }

protected:
    bool DrawsThroughMask() const override { return true; }

private:
    MediaParamT<unsigned int> m_length;
    MediaParamT<unsigned int> m_width;
    MediaParamT<unsigned int> m_count;
    MediaParamT<int> m_picture;
    MediaParamT<int> m_random;
    MediaParamT<unsigned int> m_seed;
    UINTSclaleTo<float> m_minimumLength;
    MediaSpeedParam m_speed;
    MediaParamT<int> m_rotationMode;
    UINTSclaleTo<float> m_minimumFade;
    UINTSclaleTo<float> m_amplitude;
    D3DXMATRIX m_rotation;
};
