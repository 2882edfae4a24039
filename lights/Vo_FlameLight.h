#pragma once
#include <cstdint>

#include "brushes/Vo_FireFX.h"
#include "lights/HeatHazePass.h"
#include "model/MediaParamT.h"
#include "runtime/Vo_2D_Light.h"
#include "runtime/Vo_SimpleMesh.h"

class Vo_IOF_Virtual;

// A layer that draws its picture with a band of fire over the lower part and, with the haze
// switch at 1, passes the finished slide through a heat-haze distortion. The fire is a fire brush
// the layer owns and drives itself, drawn on a quad of the layer's own; the haze is composed in
// EndRender from the layer's render-target pair, into which the slide then draws.
//
// Coordinates are picture pixels, y from 0 at the picture's top edge.
class Vo_FlameLight : public Vo_2D_Light {
public:
    Vo_FlameLight();
    ~Vo_FlameLight() override;

    // The layer's own fields for its version, then the base layer's record.
    void Load(Vo_IOF_Virtual& stream, int32_t version);

    void LoadContent() override;
    // The base layer's states, store and render-target pair, then the flame layer's states.
    void RestoreDeviceObjects() override;
    // With the haze on: ends the slide's drawing into the pair and draws the haze from it. Then
    // the borders (unless nested).
    void EndRender(int nested) override;
    // The picture, then the fire band.
    void BeginRender(int nested) override;
    void Update(float time) override;
    bool HasOwnPostEffect() const override { return HazeOn(); }
    void OnPictureChanged() override;

    // The fire band's corners (top-left, top-right, bottom-left, bottom-right; x, y, z each) over
    // a picture of w x h pixels: it covers 0.65 h and its bottom edge lies at (1 + 0.005 x height) h.
    static void FlameQuadPositions(float width, float height, unsigned flameHeight, float positions[12]);

    MediaParamT<int>& FlameSwitch() { return m_flameSwitch; }
    MediaParamT<int>& HazeSwitch() { return m_hazeSwitch; }
    MediaParamT<unsigned int>& FlameHeight() { return m_flameHeight; }
    Vo_FireFX& Fire() { return m_fire; }
    HeatHazePass& Haze() { return m_haze; }
    const Vo_SimpleMesh<DX_V::PCT>& FlameQuad() const { return m_flameQuad; }

private:
    // Only a switch of exactly 1 begins the slide's drawing into the pair, so only then is there a
    // pair to end.
    bool HazeOn() const { return m_hazeSwitch.Value() == 1; }
    void DrawFire();

    MediaParamT<int> m_flameSwitch;
    MediaParamT<int> m_hazeSwitch;
    MediaParamT<unsigned int> m_flameHeight;
    Vo_FireFX m_fire;
    HeatHazePass m_haze;
    Vo_SimpleMesh<DX_V::PCT> m_flameQuad;
};

// The reader registered under "Vo_FlameLight": a new flame layer with the record of that version.
Vo_FlameLight* CreateFlameLight(Vo_IOF_Virtual& stream, int32_t version);
