#include "runtime/Vo_ViewObjCtrl.h"

#include <climits>
#include <cmath>

#include "model/NumericFunctions.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/PicturePlacement.h"
#include "runtime/ScreenQuad.h"

namespace {

const unsigned int kDefaultSpeed = 50;
const double kSpeedScale = 0.02;
const float kMaxClampedStep = 0.1f;
const float kMaxScaledStep = 0.2f;

// Truncation toward zero that stays defined for NaN and for values beyond int, which a
// malformed relative rectangle could give.
int TruncateToPixel(float value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483520.0f)
        return INT_MAX;
    if (value <= -2147483648.0f)
        return INT_MIN;
    return int(value);
}

int PictureWidth()
{
    return GetPicturePlacement().pictureWidth;
}

int PictureHeight()
{
    return GetPicturePlacement().pictureHeight;
}

// Before any picture is laid out its size is 0; a write-back then would divide by it.
bool PictureHasArea()
{
    return PictureWidth() > 0 && PictureHeight() > 0;
}

}  // namespace

Vo_ViewObjCtrl::Vo_ViewObjCtrl() : m_speed(kDefaultSpeed)
{
    BindRectangleCallbacks();
}

Vo_ViewObjCtrl::Vo_ViewObjCtrl(const Vo_ViewObjCtrl& other)
    : Vo_ABObj_Constructor(other),
      m_pixelRect(),
      m_speed(other.m_speed.Value()),
      m_flag(other.m_flag),
      m_minX(other.m_minX),
      m_maxX(other.m_maxX),
      m_minY(other.m_minY),
      m_maxY(other.m_maxY)
{
    BindRectangleCallbacks();
}

Vo_ViewObjCtrl::~Vo_ViewObjCtrl() = default;

void Vo_ViewObjCtrl::BindRectangleCallbacks()
{
    UpdatePixelRect();
    m_bindings.SetOwner(this);
    m_bindings.BindValue(m_pixelRect.Left(), &Vo_ViewObjCtrl::OnMinXChanged);
    m_bindings.BindValue(m_pixelRect.Right(), &Vo_ViewObjCtrl::OnMaxXChanged);
    m_bindings.BindValue(m_pixelRect.Top(), &Vo_ViewObjCtrl::OnMinYChanged);
    m_bindings.BindValue(m_pixelRect.Bottom(), &Vo_ViewObjCtrl::OnMaxYChanged);
}

void Vo_ViewObjCtrl::UpdatePixelRect()
{
    const int width = PictureWidth();
    const int height = PictureHeight();
    m_pixelRect.Left().SetValue(TruncateToPixel(m_minX * float(width)));
    m_pixelRect.Right().SetValue(TruncateToPixel(m_maxX * float(width)));
    m_pixelRect.Top().SetValue(TruncateToPixel(m_minY * float(height)));
    m_pixelRect.Bottom().SetValue(TruncateToPixel(m_maxY * float(height)));
}

void Vo_ViewObjCtrl::OnMinXChanged(int left)
{
    if (PictureHasArea())
        m_minX = float(left) / float(PictureWidth());
}

void Vo_ViewObjCtrl::OnMaxXChanged(int right)
{
    if (PictureHasArea())
        m_maxX = float(right) / float(PictureWidth());
}

void Vo_ViewObjCtrl::OnMinYChanged(int top)
{
    if (PictureHasArea())
        m_minY = float(top) / float(PictureHeight());
}

void Vo_ViewObjCtrl::OnMaxYChanged(int bottom)
{
    if (PictureHasArea())
        m_maxY = float(bottom) / float(PictureHeight());
}

void Vo_ViewObjCtrl::SetRelativeRect(float minX, float maxX, float minY, float maxY)
{
    m_minX = minX;
    m_maxX = maxX;
    m_minY = minY;
    m_maxY = maxY;
}

void Vo_ViewObjCtrl::Restart()
{
    Vo_ABObj_Constructor::Restart();
    m_scaledStep = 0.0f;
    m_clampedStep = 0.0f;
    m_lastTime = 0.0f;
    m_accumulated = 0.0f;
}

void Vo_ViewObjCtrl::UpdateSpeed(float t)
{
    float d = std::fabs(t - m_lastTime);
    // A NaN time would stay in the accumulated time for good.
    if (std::isnan(d))
        d = 0.0f;
    m_clampedStep = d > kMaxClampedStep ? kMaxClampedStep : d;
    const float step = d > kMaxScaledStep ? kMaxScaledStep : d;
    m_scaledStep = step * float(m_speed.Value() * kSpeedScale);
    m_accumulated += m_scaledStep;
    if (!std::isnan(t))
        m_lastTime = t;
}

void Vo_ViewObjCtrl::GetScreenQuad(ScreenQuad* quad) const
{
    if (!quad)
        return;
    const float width = float(PictureWidth());
    const float height = float(PictureHeight());
    const float left = m_minX * width;
    const float right = m_maxX * width;
    const float top = m_minY * height;
    const float bottom = m_maxY * height;
    InitRectangleQuad(*quad, left, top, right, bottom);
}

D3DXVECTOR3 Vo_ViewObjCtrl::RandomPointInRect() const
{
    const float width = float(PictureWidth());
    const float height = float(PictureHeight());
    const float x = RandomBetween(m_minX * width, m_maxX * width);
    const float y = RandomBetween(m_minY * height, m_maxY * height);
    return D3DXVECTOR3(x, y, 0.0f);
}

D3DXVECTOR3 Vo_ViewObjCtrl::RandomPointNear(float halfWidth, float halfHeight) const
{
    const float width = float(PictureWidth());
    const float height = float(PictureHeight());
    const float x = RandomBetween(m_minX * width + halfWidth, m_maxX * width - halfWidth);
    const float y = RandomBetween(m_minY * height + halfHeight, m_maxY * height - halfHeight);
    return D3DXVECTOR3(x, y, 0.0f);
}

void Vo_ViewObjCtrl::Load(Vo_IOF_Virtual& stream)
{
    vo_string className;
    int32_t version = 0;
    stream.ReadString(className);
    stream.ReadInt(version);
    Vo_ViewObjCtrl::LoadFields(stream, version);
}

void Vo_ViewObjCtrl::LoadFields(Vo_IOF_Virtual& stream, int32_t version)
{
    m_pixelRect.Load(stream);
    stream.ReadFloat(m_minX);
    stream.ReadFloat(m_maxX);
    stream.ReadFloat(m_minY);
    stream.ReadFloat(m_maxY);
    bool flag = m_flag != 0;
    stream.ReadBool(flag);
    m_flag = flag ? 1 : 0;
    if (version >= 2)
        stream.ReadUInt(m_speed.ValueRef());
    Vo_ABObj_Constructor::Load(stream);
}
