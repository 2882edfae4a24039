#include "particles/effects/Vo_DischargeFXConstructor.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "model/ClassReaderRegistration.h"
#include "model/NumericFunctions.h"
#include "model/ReadScaled.h"
#include "model/Vo_IOF_Virtual.h"
#include "particles/sprites/SpriteParticle.h"

namespace {

void ReadPoint(Vo_IOF_Virtual& stream, MediaParamT<D3DXVECTOR3>& point)
{
    D3DXVECTOR3& value = point.ValueRef();
    stream.ReadFloat(value.x);
    stream.ReadFloat(value.y);
    stream.ReadFloat(value.z);
}

}  // namespace

Vo_DischargeFXConstructor::Vo_DischargeFXConstructor() : m_textureVariant(1)
{
    m_jitter.Rescale(0.01f, 0.0f);
    m_jitter.SetValue(50);
    m_flickerPeriod.Rescale(-0.001f, 0.1f);
    m_flickerPeriod.SetValue(100);
    m_blendSpeed.Rescale(0.1f, 0.0f);
    m_blendSpeed.SetValue(50);
    SpriteSize().SetValue(50);
    Additive().SetValue(1);
    Colour().SetValue(0xFFFFCC);
    GlowColour().SetValue(0xFF9900);
    EffectLink().Assign(L"common_res.dll", 97);
}

Vo_DischargeFXConstructor::Vo_DischargeFXConstructor(const Vo_DischargeFXConstructor& other)
    : Vo_GlowEffectCtrl(other),
      m_start(other.m_start.Value()),
      m_end(other.m_end.Value()),
      m_jitter(other.m_jitter),
      m_textureVariant(other.m_textureVariant.Value()),
      m_flickerPeriod(other.m_flickerPeriod),
      m_blendSpeed(other.m_blendSpeed),
      m_currentBolt(other.m_currentBolt),
      m_nextBolt(other.m_nextBolt),
      m_segmentCursor(other.m_segmentCursor),
      m_lastBoltTime(other.m_lastBoltTime)
{
}

void Vo_DischargeFXConstructor::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    ReadPoint(stream, m_start);
    ReadPoint(stream, m_end);
    ReadScaled(stream, m_jitter);
    int32_t variant = m_textureVariant.Value();
    stream.ReadInt(variant);
    m_textureVariant.ValueRef() = variant;
    ReadScaled(stream, m_flickerPeriod);
    ReadScaled(stream, m_blendSpeed);
    Vo_GlowEffectCtrl::Load(stream);
}

void Vo_DischargeFXConstructor::ResolveEffect()
{
    Vo_FXParticleSystemCtrl::ResolveEffect();
    BindTextures();
}

void Vo_DischargeFXConstructor::BindTextures()
{
    MainPicture().Assign(L"common_res.dll", m_textureVariant.Value() != 0 ? kBoltPicture : kAlternateBoltPicture);
    TakeTextures();
}

void Vo_DischargeFXConstructor::SpawnParticle(SpriteParticle&)
{
    const size_t count = GetParticleCount();
    m_currentBolt.resize(count, BoltSegment{});
    m_nextBolt.resize(count, BoltSegment{});
    BuildBolt(m_currentBolt);
    BuildBolt(m_nextBolt);
}

void Vo_DischargeFXConstructor::BuildBolt(std::vector<BoltSegment>& bolt) const
{
    const int n = int(bolt.size());
    const D3DXVECTOR3 start = m_start.Value();
    const D3DXVECTOR3 end = m_end.Value();
    const D3DXVECTOR3 whole = end - start;
    D3DXVECTOR3 normal(whole.y, -whole.x, 0.0f);
    D3DXVec3Normalize(&normal, &normal);
    const float jitter = m_jitter.Result();
    D3DXVECTOR3 cursor = start;
    for (int g = 0; g < n; ++g) {
        const D3DXVECTOR3 d = end - cursor;
        const float length = D3DXVec3Length(&d) / float(n - g);
        D3DXVECTOR3 heading = d;
        // Every segment but the last heads for the end deflected sideways by the jitter.
        if (g != n - 1) {
            heading.x = d.x + RandomBetween(-jitter, jitter) * d.y;
            heading.y = d.y + RandomBetween(-jitter, jitter) * d.x;
            heading.z = 2.0f * d.z;
        }
        D3DXVECTOR3 axis;
        D3DXVec3Normalize(&axis, &heading);
        const D3DXVECTOR3 next = cursor + length * axis;
        bolt[g] = BoltSegment{(cursor + next) / 2.0f, axis, normal, length};
        cursor = next;
    }
}

void Vo_DischargeFXConstructor::PrepareFrame()
{
    m_segmentCursor = 0;
    if (AccumulatedTime() - m_lastBoltTime > kReformPeriod) {
        m_lastBoltTime = AccumulatedTime();
        m_currentBolt = m_nextBolt;
        BuildBolt(m_nextBolt);
    }
}

BoltSegment Vo_DischargeFXConstructor::InterpolateSegment(int i, float t) const
{
    const BoltSegment& a = m_currentBolt[i];
    const BoltSegment& b = m_nextBolt[i];
    return BoltSegment{a.midpoint + t * (b.midpoint - a.midpoint), a.axis + t * (b.axis - a.axis),
                       a.normal + t * (b.normal - a.normal), a.length + t * (b.length - a.length)};
}

void Vo_DischargeFXConstructor::UpdateParticle(SpriteParticle& p)
{
    const int cursor = m_segmentCursor++;
    // Particles left over from a larger count keep no segment and are not drawn.
    if (cursor < 0 || size_t(cursor) >= m_currentBolt.size() || size_t(cursor) >= m_nextBolt.size())
        return;
    const BoltSegment s = InterpolateSegment(cursor, (AccumulatedTime() - m_lastBoltTime) * m_blendSpeed.Result());
    p.right = s.axis;
    p.halfWidth = s.length / 2.0f;
    p.up = s.normal;
    p.halfHeight = float(SpriteSize().Value()) / 2.0f;
    p.direction = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    p.velocity = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    p.position = s.midpoint;

    // The bolt picture holds two bolts, one in each half of its height. The default period of 0
    // comes out of its scale a hair below 0; no period is shorter than a frame in which the local
    // time advanced.
    const float period = std::max(m_flickerPeriod.Result(), 0.0f);
    if (period < LastTime() - p.timer) {
        p.timer = LastTime();
        if (std::rand() % 2 == 0) {
            p.vStart = 0.5f;
            p.vEnd = 1.0f;
        } else {
            p.vStart = 0.0f;
            p.vEnd = 0.5f;
        }
        if (std::rand() % 2 == 1)
            std::swap(p.vStart, p.vEnd);
    }
    // Only the first and the last segment show the picture's tapered ends.
    p.uStart = cursor == 0 ? 0.0f : kEndMargin;
    p.uEnd = unsigned(cursor) + 1 == GetParticleCount() ? 1.0f : 1.0f - kEndMargin;
    UpdateSpriteParticleColor(*this, p);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_DischargeFXConstructor);
