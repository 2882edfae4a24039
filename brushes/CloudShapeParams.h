#pragma once
#include "model/MediaParamT.h"
#include "model/UINTSclaleTo.h"

struct ID3DXEffect;
class Vo_IOF_Virtual;

// The shape of the cloud brush's clouds: a perspective of the cloud layer (x and y transforms),
// a sideways shift of the cloud picture and a vertical flip of the region, as effect constants.
class CloudShapeParams {
public:
    CloudShapeParams();
    CloudShapeParams(const CloudShapeParams& other);
    CloudShapeParams& operator=(const CloudShapeParams&) = delete;

    // The raws of the x and y transforms and the shift, the flip flag, then the two raws that are
    // only kept; a raw that differs from the held one tells its observers.
    void Read(Vo_IOF_Virtual& stream);
    // "PX_Transform", "PY_TransformH", "PY_TransformZ" and "tex_shift".
    void SetEffectConstants(ID3DXEffect* effect) const;

    float PxTransform() const;
    float PyTransformH() const;
    float PyTransformZ() const { return m_yTransform.Result(); }
    // (1, -1 or 1, -shift, 1 or 0): flipped regions read y from the top edge down.
    void TexShift(float out[4]) const;

    UINTSclaleTo<float>& XTransform() { return m_xTransform; }
    UINTSclaleTo<float>& YTransform() { return m_yTransform; }
    UINTSclaleTo<float>& Shift() { return m_shift; }
    MediaParamT<int>& FlipFlag() { return m_flip; }
    UINTSclaleTo<float>& Reserved1() { return m_reserved1; }
    UINTSclaleTo<float>& Reserved2() { return m_reserved2; }

private:
    UINTSclaleTo<float> m_xTransform;
    UINTSclaleTo<float> m_yTransform;
    UINTSclaleTo<float> m_shift;
    MediaParamT<int> m_flip;
    UINTSclaleTo<float> m_reserved1;
    UINTSclaleTo<float> m_reserved2;
};
