#pragma once
#include "brushes/Vo_FX_Constructor.h"
#include "model/Vo_ImageFileLink.h"
#include "runtime/ScreenQuad.h"

class Vo_Frame;

// Animated flames over the brush's region: a flame pattern bent by scrolling noise, coloured
// along a ramp from the second colour to the first, on the brush's own 8 x 8 grid. Brightness
// and density follow the brush's fade. The flame layer holds one as a member and draws it on a
// quad of its own with the effect's "AsEffect" technique.
class Vo_FireFX : public Vo_FX_Constructor {
public:
    Vo_FireFX();
    // Shares the pattern and noise textures (a reference each).
    Vo_FireFX(const Vo_FireFX& other);
    ~Vo_FireFX() override;

    // The effect and the mask, the current frames of the pattern and noise pictures, the grid.
    void LoadResources(MaskSlot* maskSlot) override;
    // The region's corners with the flame coordinates of RegionCorners.
    void UpdateRegionMesh() override;
    void Render(Vo_ABRender* layer) override;
    // Its flames cover only its region, so even as a full-image effect it paints them over the
    // image rather than write the whole next one of the chain.
    bool ReadsLayerImage() const override { return false; }
    Vo_FX_Constructor* Clone() const override { return new Vo_FireFX(*this); }

    // The record's own fields for its version (the region sits here in version 2 only), then the
    // base record.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);
    // Copies every value and shares the source's textures, effect, mask and grid; the parameters
    // tell their observers.
    void Assign(const Vo_FireFX& source);
    // The matrices for a frame whose world matrix places the flames, the two pictures and the
    // noise offsets of the current phase. Nothing without an effect.
    void SetFlameParams(const Vo_Frame& frame);

    // Corners in stored order, x, y, z as stored, with u from 0 to 1 / repeat (a repeat of 0
    // counts as 1) and v from 0 at corners 0 and 2 to 1 at corners 1 and 3.
    ScreenQuad RegionCorners() const;

    MediaParamT<unsigned long>& FirstColour() { return m_firstColour; }
    MediaParamT<unsigned long>& SecondColour() { return m_secondColour; }
    MediaParamT<int>& Spare() { return m_spare; }
    Vo_ImageFileLink& PatternLink() { return m_patternLink; }
    Vo_ImageFileLink& NoiseLink() { return m_noiseLink; }
    UINTSclaleTo<float>& Density() { return m_density; }
    UINTSclaleTo<float>& Brightness() { return m_brightness; }
    UINTSclaleTo<float>& Repeat() { return m_repeat; }
    IDirect3DTexture9* PatternTexture() const { return m_pattern.Get(); }
    IDirect3DTexture9* NoiseTexture() const { return m_noise.Get(); }

private:
    MediaParamT<unsigned long> m_firstColour;
    MediaParamT<unsigned long> m_secondColour;
    MediaParamT<int> m_spare;
    Vo_ImageFileLink m_patternLink;
    Vo_ImageFileLink m_noiseLink;
    UINTSclaleTo<float> m_density;
    UINTSclaleTo<float> m_brightness;
    UINTSclaleTo<float> m_repeat;
    ComRef<IDirect3DTexture9> m_pattern;
    ComRef<IDirect3DTexture9> m_noise;
};

// Reads a whole fire record (class name, version, fields) into a new brush that the caller owns.
Vo_FireFX* ReadFireFXRecord(Vo_IOF_Virtual& stream);
