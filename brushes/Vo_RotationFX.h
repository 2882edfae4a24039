#pragma once
#include "brushes/Vo_CentralBased.h"

// Turns the image under the mask about the centre along an ellipse of axis ratio k, tilted by an
// angle; its local time runs at the speed of its opacity.
class Vo_RotationFX : public Vo_CentralBased {
public:
    Vo_RotationFX();
    Vo_RotationFX(const Vo_RotationFX& other);
    ~Vo_RotationFX() override;

    void Update(float time) override;
    void Render(Vo_ABRender* layer) override;
    // An ellipse ratio of 0 has no ellipse, and a scale of 0 leaves the effect no picture aspect:
    // such a brush draws nothing.
    bool CanDraw() const override;
    Vo_FX_Constructor* Clone() const override { return new Vo_RotationFX(*this); }

    // The record's own fields (the registry read the class name and version), then the base records.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    // "coord_transf": T11, T12, T21, T22 of T = RotationZ(-tilt) x M x RotationZ(tilt), M being
    // RotationZ(angle) with its _12 times k and its _21 over k. k must not be 0.
    static void CoordTransform(float angle, float k, unsigned tiltDegrees, float out[4]);

    UINTSclaleTo<float>& EllipseRatio() { return m_ellipseRatio; }
    MediaParamT<unsigned int>& Tilt() { return m_tilt; }
    MediaParamT<int>& Reverse() { return m_reverse; }
    // The rotation of the current frame in radians.
    float Angle() const { return m_angle; }

private:
    UINTSclaleTo<float> m_ellipseRatio;
    MediaParamT<unsigned int> m_tilt;
    MediaParamT<int> m_reverse;
    float m_angle = 0.0f;
};
