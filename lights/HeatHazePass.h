#pragma once
#include "model/ComRef.h"
#include "model/MediaSpeedParam.h"
#include "model/UINTSclaleTo.h"
#include "model/Vo_HLSLEffectFile.h"
#include "model/Vo_ImageFileLink.h"
#include "runtime/Vo_SimpleMesh.h"

struct ID3DXEffect;
struct IDirect3DTexture9;

// The flame layer's heat haze: a quad over the picture drawn with an effect that reads the image
// drawn so far through a scrolling distortion picture.
class HeatHazePass {
public:
    HeatHazePass();
    HeatHazePass(const HeatHazePass&) = delete;
    HeatHazePass& operator=(const HeatHazePass&) = delete;
    ~HeatHazePass();

    // The quad, the distortion picture and the effect; false when the effect cannot be made.
    bool LoadContent();
    // The quad over a picture of w x h pixels; aspect := h / w.
    void Resize(float width, float height);
    // Advances the scroll clock and sets the effect's values. Nothing without an effect.
    void Update(float time);
    // Every pass of "BumpmapDistortLow2" over the quad with the image drawn so far. Nothing
    // without an effect or a quad.
    void Draw(IDirect3DTexture9* sceneTexture);

    const Vo_SimpleMesh<DX_V::PCT>& Quad() const { return m_quad; }
    Vo_ImageFileLink& BumpLink() { return m_bumpLink; }
    Vo_HLSLEffectFile& EffectLink() { return m_effectLink; }
    MediaSpeedParam& Speed() { return m_speed; }
    UINTSclaleTo<float>& Strength() { return m_strength; }
    UINTSclaleTo<float>& Bump() { return m_bump; }
    ID3DXEffect* Effect() const { return m_effect.Get(); }
    IDirect3DTexture9* BumpTexture() const { return m_bumpTexture.Get(); }
    float Aspect() const { return m_aspect; }

private:
    Vo_SimpleMesh<DX_V::PCT> m_quad;
    Vo_ImageFileLink m_bumpLink;
    Vo_HLSLEffectFile m_effectLink;
    MediaSpeedParam m_speed;
    UINTSclaleTo<float> m_strength;
    UINTSclaleTo<float> m_bump;
    ComRef<ID3DXEffect> m_effect;
    ComRef<IDirect3DTexture9> m_bumpTexture;
    float m_aspect = 1.0f;
};
