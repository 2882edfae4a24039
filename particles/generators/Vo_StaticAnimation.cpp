#include "particles/generators/Vo_StaticAnimation.h"

#include <d3dx9.h>

#include "model/ClassReaderRegistration.h"
#include "model/ReadScaled.h"
#include "model/Vo_IOF_Virtual.h"
#include "particles/generators/Vo_ParticlesObj.h"
#include "runtime/Vo_ABRender.h"
#include "runtime/Vo_TimeLineControl.h"

Vo_StaticAnimation::Vo_StaticAnimation()
{
    m_speed.Rescale(0.01f, 0.0f);
    EffectLink().Assign(L"common_res.dll", 116);
}

Vo_StaticAnimation::Vo_StaticAnimation(const Vo_StaticAnimation& other)
    : Vo_SingleRectGN(other), m_speed(other.m_speed)
{
    m_speed.CopyClock(other.m_speed);
    m_reverse.ValueRef() = other.m_reverse.Value();
}

void Vo_StaticAnimation::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    ReadScaled(stream, m_speed);
    stream.ReadLong(m_reverse.ValueRef());
    Vo_SingleRectGN::Load(stream);
}

void Vo_StaticAnimation::Update(float time, Vo_ParticlesObj*)
{
    m_speed.Advance(time);
    if (FrameSets().empty())
        return;
    const float t = m_speed.Accumulated();
    if (m_reverse.Value() != 0)
        StepFrameBackward(FrameSets()[0], t);
    else
        StepFrameForward(FrameSets()[0], t);
}

void Vo_StaticAnimation::Render(Vo_ABRender* renderer, Vo_ParticlesObj* object)
{
    ID3DXEffect* effect = Effect();
    IDirect3DTexture9* texture = GetFrameTexture(0);
    Vo_IndexedMesh<DX_V::PCT>* mesh = object ? object->Mesh(0) : nullptr;
    if (!effect || !texture || !mesh || !mesh->VertexBuffer() || object->QuadCount(0) == 0)
        return;
    const ColorWithAlpha& colour1 = Color1();
    const float fade = Timeline().GetFadeFactor();
    const float colour[4] = {colour1.Color().Red() / 255.0f, colour1.Color().Green() / 255.0f,
                             colour1.Color().Blue() / 255.0f, fade * colour1.Alpha().Result() / 255.0f};
    effect->SetTechnique("Blend_Normal");
    effect->SetTexture("Texture", texture);
    effect->SetFloatArray("Color", colour, 4);
    renderer->DrawColoredIndexed(mesh, &effect, 2 * static_cast<int>(object->QuadCount(0)), 1.0f);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_StaticAnimation);
