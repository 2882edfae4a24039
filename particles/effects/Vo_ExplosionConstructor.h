#pragma once
#include "model/ComRef.h"
#include "model/MediaColor.h"
#include "model/MediaDirection.h"
#include "model/MediaSpeedParam.h"
#include "model/UINTSclaleTo.h"
#include "particles/effects/Vo_StatBaseFXCtrl.h"

struct IDirect3DTexture9;

// An explosion: one square quad at the object's position drawn through the effect's "Main", which
// burns a gradient picture through a drifting noise picture between two colours. The noise jumps
// to new offsets once per whole unit of the object's clock; while the timeline fades in the quad
// grows from a quarter of its size, and while it fades out a third phase rises.
class Vo_ExplosionConstructor : public Vo_StatBaseFXCtrl {
public:
    Vo_ExplosionConstructor();
    // The drift direction's axes are recomputed from the angle.
    Vo_ExplosionConstructor(const Vo_ExplosionConstructor& other);
    ~Vo_ExplosionConstructor() override;

    Vo_ParticleSystemCtrl* Clone() const override { return new Vo_ExplosionConstructor(*this); }
    // Offsets and drift start again; the timeline and the object's clock run on.
    void Restart() override;
    void UpdateParticle(SpriteParticle& p) override;
    // The effect, the gradient and noise textures, and the first offsets.
    void ResolveEffect() override;
    bool SetEffectParams(Vo_ABRender* layer) override;

    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);
    // New current offsets: the next pair of the running rand() sequence, or with a fixed seed the
    // next pair of that seed's sequence (which reseeds rand() for everyone).
    void Reseed();
    // Once per whole unit of the object's clock the current offsets become the previous ones and
    // new ones are drawn; returns the clock's fraction.
    float RollOffsets();

    UINTSclaleTo<float>& NoiseParameter(int i) { return m_noise[i]; }
    const UINTSclaleTo<float>& NoiseParameter(int i) const { return m_noise[i]; }
    MediaDirection& DriftDirection() { return m_driftDirection; }
    const MediaDirection& DriftDirection() const { return m_driftDirection; }
    MediaSpeedParam& DriftClock() { return m_driftClock; }
    const MediaSpeedParam& DriftClock() const { return m_driftClock; }
    MediaParamT<unsigned int>& Seed() { return m_seed; }
    MediaParamT<int>& RandomFlag() { return m_randomFlag; }
    MediaColor& Colour2() { return m_colour2; }
    const MediaColor& Colour2() const { return m_colour2; }
    float PreviousOffset(int i) const { return m_previousOffsets[i]; }
    float Offset(int i) const { return m_offsets[i]; }
    float WholePart() const { return m_wholePart; }
    int DrawCount() const { return m_drawCount; }
    IDirect3DTexture9* GradientTexture() const { return m_gradient.Get(); }
    IDirect3DTexture9* NoiseTexture() const { return m_noiseTexture.Get(); }

private:
    void ClearOffsets();

    UINTSclaleTo<float> m_noise[3];
    MediaDirection m_driftDirection;
    MediaSpeedParam m_driftClock;
    MediaParamT<unsigned int> m_seed;
    MediaParamT<int> m_randomFlag;
    MediaColor m_colour2;
    ComRef<IDirect3DTexture9> m_gradient;
    ComRef<IDirect3DTexture9> m_noiseTexture;
    float m_previousOffsets[2] = {0.0f, 0.0f};
    float m_offsets[2] = {0.0f, 0.0f};
    float m_wholePart = 0.0f;
    int m_drawCount = 1;
};
