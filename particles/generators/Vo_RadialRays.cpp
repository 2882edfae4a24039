#include "particles/generators/Vo_RadialRays.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "model/ClassReaderRegistration.h"
#include "model/ReadScaled.h"
#include "model/Vo_IOF_Virtual.h"
#include "particles/generators/QuadVertices.h"
#include "particles/generators/Vo_ParticlesObj.h"
#include "runtime/Vo_TimeLineControl.h"

namespace {

float RandomUnit()
{
    return static_cast<float>(std::rand()) / 32767.0f;
}

}  // namespace

Vo_RadialRays::Vo_RadialRays()
{
    m_minimumLength.Rescale(-0.01f, 1.0f);
    m_speed.Rescale(0.02f, 0.0f);
    m_minimumFade.Rescale(-0.01f, 1.0f);
    m_amplitude.Rescale(0.02f, 0.0f);
    D3DXMatrixIdentity(&m_rotation);
}

Vo_RadialRays::Vo_RadialRays(const Vo_RadialRays& other)
    : Vo_StaticGenerator(other), m_minimumLength(other.m_minimumLength), m_speed(other.m_speed),
      m_minimumFade(other.m_minimumFade), m_amplitude(other.m_amplitude), m_rotation(other.m_rotation)
{
    m_length.ValueRef() = other.m_length.Value();
    m_width.ValueRef() = other.m_width.Value();
    m_count.ValueRef() = other.m_count.Value();
    m_picture.ValueRef() = other.m_picture.Value();
    m_random.ValueRef() = other.m_random.Value();
    m_seed.ValueRef() = other.m_seed.Value();
    m_speed.CopyClock(other.m_speed);
    m_rotationMode.ValueRef() = other.m_rotationMode.Value();
}

void Vo_RadialRays::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    stream.ReadUInt(m_length.ValueRef());
    stream.ReadUInt(m_width.ValueRef());
    stream.ReadUInt(m_count.ValueRef());
    stream.ReadLong(m_picture.ValueRef());
    stream.ReadLong(m_random.ValueRef());
    stream.ReadUInt(m_seed.ValueRef());
    ReadScaled(stream, m_minimumLength);
    ReadScaled(stream, m_speed);
    stream.ReadLong(m_rotationMode.ValueRef());
    ReadScaled(stream, m_minimumFade);
    ReadScaled(stream, m_amplitude);
    Vo_StaticGenerator::Load(stream);
}

void Vo_RadialRays::Init(Vo_ParticlesObj* object)
{
    Vo_StaticGenerator::Init(object);
    CreateMaskTarget();
    if (object)
        object->SetSlotCount(1);
    BuildRays(object);
}

void Vo_RadialRays::Update(float time, Vo_ParticlesObj*)
{
    m_speed.Advance(time);
    float angle = m_speed.Accumulated();
    if (m_rotationMode.Value() == kBackward)
        angle = -angle;
    else if (m_rotationMode.Value() == kSwing)
        angle = std::sin(angle) * m_amplitude.Result();
    D3DXMatrixRotationZ(&m_rotation, angle);
}

void Vo_RadialRays::BuildRays(Vo_ParticlesObj* object)
{
    const int first = std::rand();
    const bool random = m_random.Value() != 0;
    if (random)
        std::srand(m_seed.Value());

    if (object) {
        object->ReserveQuads(0, m_count.Value());
        const unsigned n = object->QuadCount(0);
        void* vertices = n ? object->LockQuads(0) : nullptr;
        if (vertices) {
            FillRays(vertices, n);
            object->UnlockQuads(0);
        }
    }

    if (random)
        std::srand(static_cast<unsigned>(first));
}

void Vo_RadialRays::FillRays(void* vertices, unsigned n)
{
    if (n == 0)
        return;
    const bool random = m_random.Value() != 0;
    float length = static_cast<float>(m_length.Value());
    float width = static_cast<float>(m_width.Value());
    float alpha = static_cast<float>(Color1().Alpha().Result());
    const float m = m_minimumFade.Result();
    const float f = (1 - m) * Timeline().GetFadeFactor() + m;
    const int timeMode = Timeline().TimeMode().Value();
    if (timeMode == 0) {
        length = length * f;
        width = width * f;
    } else if (timeMode == 1) {
        alpha = static_cast<float>(static_cast<int>(alpha * f));
    }
    const uint32_t colour = VertexColorFromUnits(Color1().Color().Value(), alpha / 255.0f);

    const D3DXVECTOR3 along(length, 0.0f, 0.0f);
    D3DXVECTOR3 direction;
    D3DXVec3TransformCoord(&direction, &along, &m_rotation);
    const float step = 6.283185482f / static_cast<float>(n);
    D3DXMATRIX turn;
    D3DXMatrixRotationZ(&turn, step);
    const float shortest = m_minimumLength.Result();
    const D3DXVECTOR3& origin = Origin().Value();
    QuadVertices quad;
    for (unsigned i = 0; i < n; ++i) {
        const float k = random ? shortest + (1 - shortest) * RandomUnit() : 1.0f;
        BuildStreakQuad(quad, origin, direction * k, k * length, k * width, k * width);
        SetQuadTexCoords(quad, 0.01f, 0.99f, 0.01f, 0.99f);
        SetQuadColor(quad, colour);
        if (random) {
            const float low = shortest * step, high = (2 - shortest) * step;
            D3DXMatrixRotationZ(&turn, low + RandomUnit() * (high - low));
        }
        const D3DXVECTOR3 previous = direction;
        D3DXVec3TransformCoord(&direction, &previous, &turn);
        WriteQuadVertices(vertices, i, quad);
    }
}

void Vo_RadialRays::Render(Vo_ABRender* renderer, Vo_ParticlesObj* object)
{
    BuildRays(object);
    const int picture = m_picture.Value();
    // A picture index outside the list draws no rays.
    IDirect3DTexture9* texture = picture >= 0 ? GetFrameTexture(static_cast<size_t>(picture)) : nullptr;
    DrawBlendMasked(renderer, object, texture);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_RadialRays);
