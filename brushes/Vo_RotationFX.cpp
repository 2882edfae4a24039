#include "brushes/Vo_RotationFX.h"

#include <d3dx9.h>

#include "model/ClassReaderRegistration.h"
#include "model/ReadScaled.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/Vo_TimeLineControl.h"

Vo_RotationFX::Vo_RotationFX()
{
    Speed().Rescale(0.005f, 0.0f);
    m_ellipseRatio.Rescale(0.001f, 0.0f);
    Timeline().TimeMode().ValueRef() = Vo_TimeLineControl::kTimeModeFollowsOpacity;
}

Vo_RotationFX::Vo_RotationFX(const Vo_RotationFX& other)
    : Vo_CentralBased(other), m_ellipseRatio(other.m_ellipseRatio), m_tilt(other.m_tilt), m_reverse(other.m_reverse),
      m_angle(other.m_angle)
{
}

Vo_RotationFX::~Vo_RotationFX() = default;

void Vo_RotationFX::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    ReadScaled(stream, m_ellipseRatio);
    stream.ReadUInt(m_tilt.ValueRef());
    stream.ReadLong(m_reverse.ValueRef());
    Vo_CentralBased::Load(stream);
}

void Vo_RotationFX::Update(float time)
{
    Vo_FX_Constructor::Update(time);
    m_angle = m_reverse.Value() != 0 ? -Phase() : Phase();
}

bool Vo_RotationFX::CanDraw() const
{
    return Vo_CentralBased::CanDraw() && m_ellipseRatio.Result() != 0.0f && ScaleParam().Result() != 0.0f;
}

void Vo_RotationFX::CoordTransform(float angle, float k, unsigned tiltDegrees, float out[4])
{
    D3DXMATRIX m;
    D3DXMatrixRotationZ(&m, angle);
    m._12 = m._12 * k;
    m._21 = m._21 / k;
    const float tilt = static_cast<float>(tiltDegrees) * 3.1415927f / 180.0f;
    D3DXMATRIX untilt, retilt, t;
    D3DXMatrixRotationZ(&untilt, -tilt);
    D3DXMatrixRotationZ(&retilt, tilt);
    D3DXMatrixMultiply(&t, &untilt, &m);
    D3DXMatrixMultiply(&t, &t, &retilt);
    out[0] = t._11;
    out[1] = t._12;
    out[2] = t._21;
    out[3] = t._22;
}

void Vo_RotationFX::Render(Vo_ABRender* layer)
{
    ID3DXEffect* effect = Effect();
    if (!effect || !CanDraw())
        return;
    float transform[4];
    CoordTransform(m_angle, m_ellipseRatio.Result(), m_tilt.Value(), transform);
    effect->SetFloatArray("coord_transf", transform, 4);
    const D3DXVECTOR2 center = CenterInPicture();
    const float offset[2] = {-center.x, -center.y};
    effect->SetFloatArray("offset", offset, 2);
    const float alpha = Timeline().TimeMode().Value() == 1 ? Timeline().GetFadeFactor() : 1.0f;
    const float mixColor[4] = {1.0f, 1.0f, 1.0f, alpha};
    effect->SetFloatArray("mix_color", mixColor, 4);
    RenderCommon(layer);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_RotationFX);
