#pragma once
#include "brushes/Vo_FX_Constructor.h"
#include "model/TextureFrameSet.h"
#include "model/Vo_ImageFileLink.h"

// Tiles a picture, possibly animated, over the layer under the mask: one tile is the picture's
// pixel size times the pattern scale, turned by an angle, mirrored on either axis and shifted by
// an offset. The frames follow their own delays at the brush's speed, and the pattern fades with
// the timeline when its time mode is 1.
class Vo_PatternBrush : public Vo_FX_Constructor {
public:
    Vo_PatternBrush();
    // Copies every value; the frame set shares each frame texture (a reference each).
    Vo_PatternBrush(const Vo_PatternBrush& other);
    ~Vo_PatternBrush() override;

    void LoadResources(MaskSlot* maskSlot) override;
    void Update(float time) override;
    void Render(Vo_ABRender* layer) override;
    // A pattern without a size, or scaled to nothing, paints nothing.
    bool CanDraw() const override;
    Vo_FX_Constructor* Clone() const override { return new Vo_PatternBrush(*this); }

    // The record's own fields (the registry read the class name and version), then the base record.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);
    // Takes the pattern link's frames: a picture set kept in a module for a ".dll" link, the
    // store's frame set otherwise; the animation starts at the first frame.
    void LoadFrames();

    // "coord_transf": the rows of scaling (kx, ky) followed by a turn by the angle in degrees,
    // (kx cos a, kx sin a, -ky sin a, ky cos a).
    static void CoordTransform(float kx, float ky, float angleDegrees, float out[4]);
    // "coord_transf" for a picture of width x height: tiles repeat width / (pw x s) times across
    // and height / (ph x s) times down at angle 0, a flip mirrors its axis.
    void PatternTransform(unsigned width, unsigned height, float out[4]) const;
    // The alpha of "mix_color": the timeline's fade in time mode 1, otherwise 1.
    float MixAlpha() const;

    Vo_ImageFileLink& PatternLink() { return m_patternLink; }
    MediaParamT<int>& VerticalFlip() { return m_verticalFlip; }
    MediaParamT<int>& HorizontalFlip() { return m_horizontalFlip; }
    MediaParamT<unsigned int>& Angle() { return m_angle; }
    UINTSclaleTo<float>& PatternScale() { return m_patternScale; }
    UINTSclaleTo<float>& OffsetX() { return m_offsetX; }
    UINTSclaleTo<float>& OffsetY() { return m_offsetY; }
    TextureFrameSet& Frames() { return m_frames; }
    const TextureFrameSet& Frames() const { return m_frames; }
    uint32_t FrameIndex() const { return m_frames.currentFrame; }

private:
    bool HasPattern() const;

    Vo_ImageFileLink m_patternLink;
    MediaParamT<int> m_verticalFlip;
    MediaParamT<int> m_horizontalFlip;
    MediaParamT<unsigned int> m_angle;
    UINTSclaleTo<float> m_patternScale;
    UINTSclaleTo<float> m_offsetX;
    UINTSclaleTo<float> m_offsetY;
    // The frame index and the phase of its last change are the set's current frame and frame time.
    TextureFrameSet m_frames;
};
