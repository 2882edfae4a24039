#include "particles/sprites/Vo_StatObjConstructor.h"

#include <cmath>

#include "model/ClassReaderRegistration.h"
#include "model/Vo_IOF_Virtual.h"
#include "particles/sprites/SpriteAxes.h"
#include "particles/sprites/SpriteParticle.h"
#include "particles/sprites/Vo_SpriteArrayObj.h"
#include "runtime/ScreenQuad.h"

namespace {

// Truncation toward zero, defined for values an int cannot hold.
int TruncateToInt(float value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483520.0f)
        return 2147483647;
    if (value <= -2147483648.0f)
        return -2147483647 - 1;
    return int(value);
}

}  // namespace

Vo_StatObjConstructor::Vo_StatObjConstructor()
{
    D3DXMatrixIdentity(&m_rotationMatrix);
}

Vo_StatObjConstructor::Vo_StatObjConstructor(const Vo_StatObjConstructor& other)
    : Vo_ParticleSystemCtrl(other), m_rotation(other.m_rotation.Value()), m_rotationMatrix(other.m_rotationMatrix)
{
    m_rectangle.CopyValues(other.m_rectangle);
}

Vo_ABObj* Vo_StatObjConstructor::CreateObject()
{
    ResolveImages();
    return new Vo_SpriteArrayObj(Clone());
}

void Vo_StatObjConstructor::LoadFields(Vo_IOF_Virtual& stream, int32_t version)
{
    m_rectangle.Load(stream);
    stream.ReadUInt(m_rotation.ValueRef());
    if (version == 1) {
        int32_t mirror = VerticalMirror().Value();
        stream.ReadLong(mirror);
        VerticalMirror().ValueRef() = mirror;
        mirror = HorizontalMirror().Value();
        stream.ReadLong(mirror);
        HorizontalMirror().ValueRef() = mirror;
    }
    Vo_BaseSpriteProp::Load(stream);
}

void Vo_StatObjConstructor::GetScreenQuad(ScreenQuad* quad) const
{
    if (quad)
        InitRectangleQuad(*quad, m_rectangle);
}

bool Vo_StatObjConstructor::HitTest(float x, float y) const
{
    return m_rectangle.HitTest(x, y);
}

void Vo_StatObjConstructor::PlaceParticle(SpriteParticle& p)
{
    p.position.x = float(m_rectangle.CenterX().Value());
    p.position.y = float(m_rectangle.CenterY().Value());
    SetSpriteParticleHalfSize(float(SpriteSize().Value()), p);
    UpdateSpriteParticleColor(*this, p);
    m_rotationMatrix = SpriteRotationZ(-float(m_rotation.Value()) * float(D3DX_PI) / 180.0f);
    p.right = SpriteTransformCoord(D3DXVECTOR3(1.0f, 0.0f, 0.0f), m_rotationMatrix);
    p.up = SpriteTransformCoord(D3DXVECTOR3(0.0f, 1.0f, 0.0f), m_rotationMatrix);
    UpdateRectangle(p);
}

void Vo_StatObjConstructor::UpdateRectangle(const SpriteParticle& p)
{
    const float a = std::fabs(p.right.x * p.halfWidth) + std::fabs(p.up.x * p.halfHeight);
    const float b = std::fabs(p.up.y * p.halfHeight) + std::fabs(p.right.y * p.halfWidth);
    m_rectangle.Left().SetValue(TruncateToInt(p.position.x - a));
    m_rectangle.Right().SetValue(TruncateToInt(p.position.x + a));
    m_rectangle.Top().SetValue(TruncateToInt(p.position.y - b));
    m_rectangle.Bottom().SetValue(TruncateToInt(p.position.y + b));
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_StatObjConstructor);
