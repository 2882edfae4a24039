#pragma once
#include "brushes/CloudShapeParams.h"
#include "brushes/Vo_DirectionBased.h"
#include "model/MediaColor.h"
#include "model/TextureFrameSet.h"
#include "model/Vo_ImageFileLink.h"

// Drifting clouds inside the brush's region: the brush's own cloud picture scrolls along minus
// the direction as the phase grows, shaped by a threshold, a density, two colours and a
// perspective, and is drawn on a 2 x 2 grid over the region. It never reads the layer's image.
class Vo_CloudFX : public Vo_DirectionBased {
public:
    Vo_CloudFX();
    // Copies every value; the cloud frames share each frame texture (a reference each).
    Vo_CloudFX(const Vo_CloudFX& other);
    ~Vo_CloudFX() override;

    void LoadResources(MaskSlot* maskSlot) override;
    // The region's corners with texture coordinates from (0, 0) at the first corner to (1, 1) at
    // the last, and where the region lies in the picture for the mask.
    void UpdateRegionMesh() override;
    void Render(Vo_ABRender* layer) override;
    // Without a cloud picture there is nothing to draw.
    bool CanDraw() const override;
    // Even the full-picture technique only lays clouds over the image.
    bool ReadsLayerImage() const override { return false; }
    Vo_FX_Constructor* Clone() const override { return new Vo_CloudFX(*this); }

    // The record's own fields (the registry read the class name and version), then the
    // direction-based record.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    // "mask_tex_shift" for the region's corners (bottom-left, top-left, bottom-right, top-right)
    // in a picture of width x height: x factor, x shift, y factor, y shift.
    static void MaskTexShift(const D3DXVECTOR3 corners[4], float width, float height, float out[4]);
    // "Scale": (aspect / s, 1 / s) with the layer's picture aspect and the brush's scale s.
    static void CloudScale(unsigned pictureWidth, unsigned pictureHeight, float s, float out[2]);
    // "Velocity": minus the direction times the phase.
    void Velocity(float out[2]) const;

    MediaColor& Colour1() { return m_colour1; }
    MediaColor& Colour2() { return m_colour2; }
    Vo_ImageFileLink& CloudLink() { return m_cloudLink; }
    Vo_ImageFileLink& SecondLink() { return m_secondLink; }
    UINTSclaleTo<float>& Threshold() { return m_threshold; }
    UINTSclaleTo<float>& Density() { return m_density; }
    CloudShapeParams& Shape() { return m_shape; }
    const TextureFrameSet& CloudFrames() const { return m_cloudFrames; }
    const float* MaskShift() const { return m_maskTexShift; }

private:
    IDirect3DTexture9* CloudTexture() const;

    MediaColor m_colour1;
    MediaColor m_colour2;
    Vo_ImageFileLink m_cloudLink;
    Vo_ImageFileLink m_secondLink;
    UINTSclaleTo<float> m_threshold;
    UINTSclaleTo<float> m_density;
    CloudShapeParams m_shape;
    TextureFrameSet m_cloudFrames;
    float m_maskTexShift[4] = {1.0f, 0.0f, 1.0f, 0.0f};
};
